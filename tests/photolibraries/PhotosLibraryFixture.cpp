#include "PhotosLibraryFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>

using namespace Qt::StringLiterals;

namespace {

struct ConnectionCloser {
    void operator()(sqlite3 *connection) const { sqlite3_close(connection); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

[[noreturn]] void fail(sqlite3 *connection, const char *what)
{
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(connection));
}

Connection create(const QString &path)
{
    QFile::remove(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    sqlite3 *handle = nullptr;
    const int result = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Connection connection(handle);
    if (result != SQLITE_OK)
        fail(handle, "cannot create a fixture database");
    return connection;
}

void run(sqlite3 *connection, const char *script)
{
    if (sqlite3_exec(connection, script, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(connection, "cannot run a fixture script");
}

// One insert: the values in column order, each a number, a text, or no value (NULL).
class Insert final
{
public:
    Insert(sqlite3 *connection, const char *query) : m_connection(connection)
    {
        sqlite3_stmt *handle = nullptr;
        if (sqlite3_prepare_v2(connection, query, -1, &handle, nullptr) != SQLITE_OK)
            fail(connection, "cannot prepare a fixture insert");
        m_statement.reset(handle);
    }

    Insert &number(qint64 value)
    {
        sqlite3_bind_int64(m_statement.get(), ++m_index, value);
        return *this;
    }

    Insert &text(const std::optional<QString> &value)
    {
        if (!value) {
            sqlite3_bind_null(m_statement.get(), ++m_index);
            return *this;
        }
        const QByteArray utf8 = value->toUtf8();
        sqlite3_bind_text(m_statement.get(), ++m_index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }

    void step()
    {
        if (sqlite3_step(m_statement.get()) != SQLITE_DONE)
            fail(m_connection, "cannot insert a fixture row");
        sqlite3_reset(m_statement.get());
        sqlite3_clear_bindings(m_statement.get());
        m_index = 0;
    }

private:
    sqlite3 *m_connection;
    Statement m_statement;
    int m_index = 0;
};

void writeMainDatabase(const QString &path, const PhotosLibraryFixture::Contents &contents, bool writeAheadLog)
{
    const Connection connection = create(path);
    if (writeAheadLog)
        run(connection.get(), "PRAGMA journal_mode=WAL");
    run(connection.get(),
        "CREATE TABLE RKMaster (modelId INTEGER PRIMARY KEY, uuid VARCHAR, fileName VARCHAR,"
        " imagePath VARCHAR, isInTrash INTEGER);"
        "CREATE TABLE RKVersion (modelId INTEGER PRIMARY KEY, uuid VARCHAR, name VARCHAR,"
        " adjustmentUuid VARCHAR, masterUuid VARCHAR, isInTrash INTEGER, showInLibrary INTEGER);"
        "CREATE INDEX RKVersion_masterUuid ON RKVersion (masterUuid);"
        "BEGIN");

    Insert master(connection.get(), "INSERT INTO RKMaster VALUES (?, ?, ?, ?, ?)");
    for (const auto &row : contents.masters)
        master.number(row.modelId).text(row.uuid).text(row.fileName).text(row.imagePath).number(row.isInTrash).step();
    Insert version(connection.get(), "INSERT INTO RKVersion VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const auto &row : contents.versions)
        version.number(row.modelId).text(row.uuid).text(row.name).text(row.adjustmentUuid)
            .text(row.masterUuid).number(row.isInTrash).number(row.showInLibrary).step();
    run(connection.get(), "COMMIT");
}

void writeProxyDatabase(const QString &path, const PhotosLibraryFixture::Contents &contents)
{
    const Connection connection = create(path);
    run(connection.get(),
        "CREATE TABLE RKModelResource (modelId INTEGER PRIMARY KEY, attachedModelId INTEGER,"
        " resourceUuid VARCHAR, filename VARCHAR);"
        "CREATE INDEX RKModelResource_attachedModelId ON RKModelResource (attachedModelId);"
        "BEGIN");
    Insert resource(connection.get(), "INSERT INTO RKModelResource (attachedModelId, resourceUuid, filename) VALUES (?, ?, ?)");
    for (const auto &row : contents.modelResources)
        resource.number(row.attachedModelId).text(row.resourceUuid).text(row.filename).step();
    run(connection.get(), "COMMIT");
}

void writeMedia(const QString &packagePath, const std::vector<PhotosLibraryFixture::Master> &masters)
{
    for (const auto &row : masters) {
        if (!row.content)
            continue;
        const QString path = packagePath + u"/Masters/"_s + row.imagePath;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(*row.content) != row.content->size())
            throw std::runtime_error("cannot write a fixture medium");
    }
}

} // namespace

QString PhotosLibraryFixture::mainDatabasePath(const QString &packagePath, Layout layout)
{
    return packagePath + (layout == Layout::Newer ? u"/database/photos.db"_s : u"/database/Library.apdb"_s);
}

QString PhotosLibraryFixture::proxyDatabasePath(const QString &packagePath)
{
    return packagePath + u"/database/ImageProxies.apdb"_s;
}

QString PhotosLibraryFixture::write(const QString &packagePath, Layout layout, const Contents &contents)
{
    writeMainDatabase(mainDatabasePath(packagePath, layout), contents, layout == Layout::Newer);
    if (layout == Layout::Older)
        writeProxyDatabase(proxyDatabasePath(packagePath), contents);
    writeMedia(packagePath, contents.masters);
    return packagePath;
}
