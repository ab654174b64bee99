#pragma once
// A test run once on each database: a SQLite file, and a database of the PostgreSQL
// server that the test program starts. The PostgreSQL runs are skipped only when no
// server is installed; a server that is installed but does not start fails them.
#include "db/OdbcTestConfig.h"
#include "db/RangeDatabases.h"

#include <gtest/gtest.h>

#include <memory>

class BackendTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        odbctest::useOwnConfiguration();
        if (GetParam() == Backend::SQLite) {
            database_ = std::make_unique<SqliteRangeDatabase>();
            return;
        }
        if (!PostgresServer::programDir())
            GTEST_SKIP() << "no PostgreSQL server installed below /usr/lib/postgresql";
        std::string whyNot;
        const PostgresServer* server = sharedPostgresServer(whyNot);
        ASSERT_TRUE(server) << whyNot;
        database_ = std::make_unique<PostgresRangeDatabase>(*server);
    }

    RangeDatabase& db() { return *database_; }

private:
    std::unique_ptr<RangeDatabase> database_;
};

inline std::string backendTestName(const ::testing::TestParamInfo<Backend>& info)
{
    return backendName(info.param);
}

#define INSTANTIATE_ON_EVERY_BACKEND(suite)                                                                            \
    INSTANTIATE_TEST_SUITE_P(Databases, suite, ::testing::Values(Backend::SQLite, Backend::PostgreSQL), backendTestName)
