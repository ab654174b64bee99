#include "db/PostgresServer.h"

#include "platform/FileDescriptor.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr platform::Millis kStartLimitMs = 60000;
constexpr platform::Millis kStopLimitMs = 30000;

// A TCP port of 127.0.0.1 that nobody listens on at this moment.
int freePort()
{
    platform::FileDescriptor socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (!socket || ::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

// The unprivileged user a root test process runs the server as.
std::string serverUser()
{
    for (const char* name : {"postgres", "nobody"})
        if (::getpwnam(name))
            return name;
    return {};
}

} // namespace

std::optional<std::string> PostgresServer::programDir()
{
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", error))
        if (fs::exists(entry.path() / "bin" / "initdb") && fs::exists(entry.path() / "bin" / "postgres"))
            found.push_back(entry.path() / "bin");
    if (found.empty())
        return std::nullopt;
    // Newest version: the highest number, not the last in text order (9 < 15).
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return std::stoi(a.parent_path().filename().string()) < std::stoi(b.parent_path().filename().string());
    });
    return found.back().string();
}

PostgresServer::PostgresServer()
{
    std::optional<std::string> programs = programDir();
    if (!programs) {
        failure_ = "no PostgreSQL server installed below /usr/lib/postgresql";
        return;
    }
    programs_ = *programs;
    port_ = freePort();
    if (port_ == 0) {
        failure_ = "no free TCP port on 127.0.0.1";
        return;
    }
    std::string data = dir_.mkdir("data");
    if (::geteuid() == 0) {
        user_ = serverUser();
        passwd* account = user_.empty() ? nullptr : ::getpwnam(user_.c_str());
        if (!account) {
            failure_ = "running as root and no unprivileged user to run the server as";
            return;
        }
        ::chmod(dir_.path().c_str(), 0755);
        if (::chown(data.c_str(), account->pw_uid, account->pw_gid) != 0) {
            failure_ = "cannot give the data directory to " + user_;
            return;
        }
    }
    ::chmod(data.c_str(), 0700);
    if (!run(asServerUser({programs_ + "/initdb", "-D", data, "-U", "orvane", "-A", "trust", "-E", "UTF8", "--no-locale",
                           "--no-sync"}),
             "initdb.log"))
        failure_ = "initdb failed";
}

PostgresServer::~PostgresServer()
{
    stop();
}

std::string PostgresServer::failure() const
{
    std::string text = failure_;
    for (const char* log : {"initdb.log", "server.log"}) {
        std::string content = readWholeFile(dir_.file(log));
        if (!content.empty())
            text += std::string("\n--- ") + log + "\n" + content;
    }
    return text;
}

std::vector<std::string> PostgresServer::asServerUser(std::vector<std::string> command) const
{
    // The programs start in the cluster's directory, which the server user may enter.
    std::vector<std::string> full = {"-C", dir_.path()};
    full.insert(full.end(), command.begin(), command.end());
    if (!user_.empty())
        full.insert(full.begin(), {"--reuid=" + user_, "--regid=" + user_, "--clear-groups", "/usr/bin/env"});
    return full;
}

bool PostgresServer::run(const std::vector<std::string>& command, const std::string& logName)
{
    ChildProcess child;
    std::string log = dir_.file(logName);
    child.redirect(STDOUT_FILENO, log, O_WRONLY | O_CREAT | O_APPEND);
    child.redirect(STDERR_FILENO, log, O_WRONLY | O_CREAT | O_APPEND);
    if (!child.start(user_.empty() ? "/usr/bin/env" : "/usr/bin/setpriv", command))
        return false;
    std::optional<int> status = child.waitForExit(kStartLimitMs);
    if (!status)
        child.stop();
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

bool PostgresServer::acceptsConnections()
{
    ChildProcess probe;
    probe.redirect(STDOUT_FILENO, "/dev/null", O_WRONLY);
    probe.redirect(STDERR_FILENO, "/dev/null", O_WRONLY);
    if (!probe.start(programs_ + "/pg_isready",
                     {"-q", "-h", "127.0.0.1", "-p", std::to_string(port_), "-U", "orvane", "-d", "postgres", "-t", "2"}))
        return false;
    std::optional<int> status = probe.waitForExit(10000);
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

bool PostgresServer::start()
{
    if (!ok())
        return false;
    platform::Deadline deadline(kStartLimitMs);
    while (!deadline.expired()) {
        if (!server_) {
            server_ = std::make_unique<ChildProcess>();
            std::string log = dir_.file("server.log");
            server_->redirect(STDOUT_FILENO, log, O_WRONLY | O_CREAT | O_APPEND);
            server_->redirect(STDERR_FILENO, log, O_WRONLY | O_CREAT | O_APPEND);
            std::vector<std::string> command = asServerUser(
                {programs_ + "/postgres", "-D", dir_.file("data"), "-p", std::to_string(port_), "-c",
                 "listen_addresses=127.0.0.1", "-c", "unix_socket_directories=", "-c", "fsync=off", "-c",
                 "max_connections=60"});
            if (!server_->start(user_.empty() ? "/usr/bin/env" : "/usr/bin/setpriv", command)) {
                failure_ = "cannot start postgres";
                return false;
            }
        }
        if (acceptsConnections())
            return true;
        if (server_->waitForExit(200)) // it gave up (shared memory still held): again
            server_.reset();
    }
    failure_ = "the server did not accept connections in time";
    return false;
}

void PostgresServer::kill()
{
    if (!server_)
        return;
    server_->signal(SIGKILL);
    server_->waitForExit(kStopLimitMs);
    server_.reset();
}

void PostgresServer::stop()
{
    if (!server_)
        return;
    server_->signal(SIGINT); // fast shutdown: clients are disconnected
    if (!server_->waitForExit(kStopLimitMs))
        server_->signal(SIGKILL);
    server_.reset();
}

std::string PostgresServer::connectionString(const std::string& database) const
{
    return "Driver=PostgreSQL;Server=127.0.0.1;Port=" + std::to_string(port_) + ";Database=" + database +
           ";Uid=orvane;Pwd=;";
}
