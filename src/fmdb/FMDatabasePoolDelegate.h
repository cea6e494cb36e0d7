#pragma once

class FMDatabase;
class FMDatabasePool;

// Hears of a pool's connections; both operations have do-nothing defaults, so a delegate
// overrides only what it needs. Called on the pool's lock queue: a delegate must not call the
// pool back.
class FMDatabasePoolDelegate
{
public:
    virtual ~FMDatabasePoolDelegate() = default;

    // False refuses the connection: the pool closes it and hands out nothing.
    virtual bool databasePoolShouldAddDatabaseToPool(FMDatabasePool *pool, FMDatabase *database)
    {
        (void)pool;
        (void)database;
        return true;
    }
    // Told after a newly made connection has been handed out for the first time.
    virtual void databasePoolDidAddDatabase(FMDatabasePool *pool, FMDatabase *database)
    {
        (void)pool;
        (void)database;
    }
};
