#pragma once

#include "scanning/Sha1Digest.h"

#include <cstddef>
#include <memory>

struct evp_md_ctx_st;

// An incremental SHA-1 computation over OpenSSL's EVP interface (which uses the processor's
// SHA instructions where it has them). One hasher per thread.
class Sha1Hasher final
{
public:
    Sha1Hasher();
    ~Sha1Hasher();
    Sha1Hasher(const Sha1Hasher &) = delete;
    Sha1Hasher &operator=(const Sha1Hasher &) = delete;

    void update(const void *data, std::size_t length);
    // The digest of everything added since construction or the last finish(); starts anew.
    Sha1Digest finish();
    // The digest of everything added so far, leaving the computation to go on.
    Sha1Digest digestSoFar() const;

    static Sha1Digest digest(const void *data, std::size_t length);

private:
    struct ContextDeleter
    {
        void operator()(evp_md_ctx_st *context) const;
    };
    std::unique_ptr<evp_md_ctx_st, ContextDeleter> m_context;
};
