#pragma once
// A private PostgreSQL server for the tests of the PostgreSQL driver: a cluster in a temporary folder, listening
// only on a socket in that folder, stopped and removed at the end. The cluster is copied from a template that the
// first test process of a machine makes with initdb, so each process starts its own server in about a second.
// The server refuses to run as root: as root it runs as the user "postgres", in folders that user owns.
//
// Roles: the superuser "relclientes" (no password) and "secure" (password "segredo", asked for by the server).
// Database "relclientes" orders texts bytewise by default, so any language order comes from the engine.

#include <libpq-fe.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace enginetest {

class PgServer {
public:
  static constexpr const char* kSuperuser = "relclientes";
  static constexpr const char* kDatabase = "relclientes";
  static constexpr const char* kSecureUser = "secure";
  static constexpr const char* kSecurePassword = "segredo";
  static constexpr int kPort = 5433;

  PgServer() {
    try {
      Start();
    } catch (const std::exception& e) {
      error_ = e.what();
    }
  }
  ~PgServer() {
    if (started_) Shell(Bin("pg_ctl") + " -D " + Data() + " -m immediate -w stop");
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }
  PgServer(const PgServer&) = delete;
  PgServer& operator=(const PgServer&) = delete;

  // Empty when the server runs; otherwise why it does not.
  const std::string& Error() const { return error_; }
  std::string SocketFolder() const { return folder_.string(); }
  int Port() const { return kPort; }

  // A libpq connection string for a database of the server.
  std::string Connection(const std::string& database = kDatabase, const std::string& user = kSuperuser) const {
    return "host=" + SocketFolder() + " port=" + std::to_string(kPort) + " dbname=" + database + " user=" + user;
  }

  // Runs SQL as the superuser; an empty text when it worked, else the server's message.
  std::string Exec(const std::string& sql, const std::string& database = kDatabase) const {
    PGconn* conn = PQconnectdb(Connection(database).c_str());
    std::string error;
    if (PQstatus(conn) != CONNECTION_OK) {
      error = PQerrorMessage(conn);
    } else {
      PGresult* r = PQexec(conn, sql.c_str());
      const auto s = PQresultStatus(r);
      if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) error = PQresultErrorMessage(r);
      PQclear(r);
    }
    PQfinish(conn);
    return error;
  }

  // Ends every other session of a database, as a server that drops its clients would.
  std::string DropClients(const std::string& database = kDatabase) const {
    return Exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" + database +
                "' AND pid <> pg_backend_pid()");
  }

  // The folder of the server's programs; empty when the server is not installed.
  static std::string BinFolder() {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec))
      if (std::filesystem::exists(entry.path() / "bin" / "initdb")) found.push_back(entry.path() / "bin");
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
      return std::stoi(a.parent_path().filename().string()) < std::stoi(b.parent_path().filename().string());
    });
    return found.empty() ? std::string() : found.back().string();
  }

private:
  static bool Root() { return geteuid() == 0; }

  std::string Bin(const std::string& program) const {
    const std::string run = Root() ? "runuser -u postgres -- " : "";
    return run + bin_ + "/" + program;
  }
  std::string Data() const { return (folder_ / "data").string(); }

  static int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

  static void Own(const std::filesystem::path& path) {
    if (!Root()) return;
    const passwd* pg = getpwnam("postgres");
    if (!pg || chown(path.c_str(), pg->pw_uid, pg->pw_gid) != 0)
      throw std::runtime_error("cannot give " + path.string() + " to the user postgres");
  }

  // The cluster every process copies, made once per machine and server version; appears only complete.
  std::filesystem::path Template() const {
    const std::string version = std::filesystem::path(bin_).parent_path().filename().string();
    const std::filesystem::path done = std::filesystem::temp_directory_path() /
                                       ("relclientes-pg-template-" + version + "-" + std::to_string(geteuid()));
    if (std::filesystem::exists(done / "PG_VERSION")) return done;
    std::string pattern = done.string() + ".XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    const std::filesystem::path part = pattern;
    Own(part);
    if (Shell(Bin("initdb") + " -D " + part.string() + " -A trust -U " + kSuperuser + " -E UTF8 --locale=C") != 0) {
      std::filesystem::remove_all(part);
      throw std::runtime_error("initdb failed in " + part.string());
    }
    std::error_code ec;
    std::filesystem::rename(part, done, ec);
    if (ec) std::filesystem::remove_all(part, ec);  // another process finished first
    return done;
  }

  // Stops the servers of test processes that ended without stopping theirs (a crash, a kill).
  void StopOrphans() const {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("relclientes-pg-", 0) != 0 || name.rfind("relclientes-pg-template-", 0) == 0) continue;
      std::ifstream owner(entry.path() / "owner.pid");
      long pid = 0;
      if (!(owner >> pid) || pid <= 0 || kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
      Shell(Bin("pg_ctl") + " -D " + (entry.path() / "data").string() + " -m immediate -w stop");
      std::filesystem::remove_all(entry.path(), ec);
    }
  }

  void Start() {
    bin_ = BinFolder();
    if (bin_.empty())
      throw std::runtime_error(
          "the PostgreSQL server is not installed (no /usr/lib/postgresql/*/bin/initdb): "
          "scripts/setup installs the packages postgresql and libpq-dev");
    if (Root() && !getpwnam("postgres"))
      throw std::runtime_error("running as root, and there is no user postgres to run the server");
    std::string pattern = (std::filesystem::temp_directory_path() / "relclientes-pg-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    chmod(folder_.c_str(), 0755);
    std::ofstream(folder_ / "owner.pid") << getpid() << "\n";
    Own(folder_);
    StopOrphans();
    const std::filesystem::path source = Template();
    if (Shell((Root() ? "runuser -u postgres -- " : std::string()) + "cp -a " + source.string() + " " + Data()) != 0)
      throw std::runtime_error("cannot copy the cluster " + source.string());
    std::ofstream(Data() + "/pg_hba.conf") << "local all " << kSecureUser << " scram-sha-256\nlocal all all trust\n";
    const std::string options =
        "-k " + folder_.string() + " -p " + std::to_string(kPort) +
        " -c listen_addresses='' -c fsync=off -c full_page_writes=off -c synchronous_commit=off";
    if (Shell(Bin("pg_ctl") + " -D " + Data() + " -l " + (folder_ / "server.log").string() + " -o \"" + options +
              "\" -w start") != 0)
      throw std::runtime_error("pg_ctl could not start the server; see " + (folder_ / "server.log").string());
    started_ = true;
    for (const std::string& sql :
         {std::string("CREATE DATABASE ") + kDatabase + " TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C'",
          std::string("CREATE ROLE ") + kSecureUser + " LOGIN PASSWORD '" + kSecurePassword + "'"}) {
      if (std::string error = Exec(sql, "postgres"); !error.empty()) throw std::runtime_error(error);
    }
    if (std::string error = Exec(std::string("GRANT ALL ON SCHEMA public TO ") + kSecureUser); !error.empty())
      throw std::runtime_error(error);
  }

  std::string bin_;
  std::filesystem::path folder_;
  bool started_ = false;
  std::string error_;
};

// One server for the whole test process, started on first use.
inline PgServer& SharedPgServer() {
  static PgServer server;
  return server;
}

}  // namespace enginetest
