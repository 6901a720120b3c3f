#pragma once
// libpq, loaded when the first PostgreSQL database is opened: a program that never opens one starts without it and
// the two dozen libraries it brings (Kerberos, LDAP, TLS), which take longer to load than the program takes to start.

#include <libpq-fe.h>

#include <string>

namespace engine::detail {

// The functions of libpq the driver calls.
// clang-format off
#define RELCLIENTES_PQ_FUNCTIONS(X)                                                                                  \
  X(PQclear) X(PQcmdTuples) X(PQconnectdbParams) X(PQconnectionNeedsPassword) X(PQdb) X(PQdescribePrepared)        \
  X(PQerrorMessage) X(PQexec) X(PQexecParams) X(PQfinish) X(PQfmod) X(PQfname) X(PQftype) X(PQgetisnull)          \
  X(PQgetlength) X(PQgetvalue) X(PQhost) X(PQnfields) X(PQnparams) X(PQntuples) X(PQport) X(PQprepare) X(PQreset) \
  X(PQresultErrorField) X(PQresultErrorMessage) X(PQresultStatus) X(PQstatus) X(PQtransactionStatus) X(PQuser)     \
  X(PQsendQuery) X(PQsendQueryParams) X(PQconsumeInput) X(PQisBusy) X(PQgetResult) X(PQsocket) X(PQgetCancel)     \
  X(PQcancel) X(PQfreeCancel)
// clang-format on

struct PgLibrary {
#define RELCLIENTES_PQ_POINTER(name) decltype(&::name) name = nullptr;
  RELCLIENTES_PQ_FUNCTIONS(RELCLIENTES_PQ_POINTER)
#undef RELCLIENTES_PQ_POINTER
};

// Loads the library once, and keeps it to the end; null, with the reason in `error`, when it cannot be loaded.
const PgLibrary* LoadPgLibrary(std::string& error);
// The library that LoadPgLibrary loaded: for code that works on a connection, which only a loaded library makes.
const PgLibrary& Pq();

}  // namespace engine::detail
