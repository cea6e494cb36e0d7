#include "scanning/Sha1Hasher.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace {

// Fetched once: given EVP_sha1(), every initialisation looks the digest up in the providers'
// tables again, under a lock that the digest threads share.
const EVP_MD *sha1()
{
    static const EVP_MD *const fetched = EVP_MD_fetch(nullptr, "SHA1", nullptr);
    return fetched ? fetched : EVP_sha1();
}

} // namespace

void Sha1Hasher::ContextDeleter::operator()(evp_md_ctx_st *context) const
{
    EVP_MD_CTX_free(context);
}

Sha1Hasher::Sha1Hasher()
    : m_context(EVP_MD_CTX_new())
{
    if (!m_context || EVP_DigestInit_ex(m_context.get(), sha1(), nullptr) != 1)
        throw std::runtime_error("SHA-1 is not available");
}

Sha1Hasher::~Sha1Hasher() = default;

void Sha1Hasher::update(const void *data, std::size_t length)
{
    if (length > 0)
        EVP_DigestUpdate(m_context.get(), data, length);
}

Sha1Digest Sha1Hasher::finish()
{
    Sha1Digest::Bytes bytes {};
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_context.get(), bytes.data(), &length);
    EVP_DigestInit_ex(m_context.get(), sha1(), nullptr);
    return Sha1Digest(bytes);
}

Sha1Digest Sha1Hasher::digestSoFar() const
{
    const std::unique_ptr<evp_md_ctx_st, ContextDeleter> copy(EVP_MD_CTX_new());
    Sha1Digest::Bytes bytes {};
    unsigned int length = 0;
    if (copy && EVP_MD_CTX_copy_ex(copy.get(), m_context.get()) == 1)
        EVP_DigestFinal_ex(copy.get(), bytes.data(), &length);
    return Sha1Digest(bytes);
}

Sha1Digest Sha1Hasher::digest(const void *data, std::size_t length)
{
    Sha1Digest::Bytes bytes {};
    unsigned int size = 0;
    EVP_Digest(data, length, bytes.data(), &size, sha1(), nullptr);
    return Sha1Digest(bytes);
}
