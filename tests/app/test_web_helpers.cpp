// The main window's web helpers against a small HTTP server of the test's own
// on the loopback address.
#include <gmock/gmock.h>

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <QElapsedTimer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "app_env.h"
#include "platform/net/http.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const QByteArray kBody("Data\tValor\t\r\n01/2000\t1,5\t\r\n", 26);

// Answers one request per connection: /ok with the body, /moved with a
// redirection to /ok, /missing with 404; /silent never answers.
class LoopbackServer {
public:
    LoopbackServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                auto received = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                    *received += socket->readAll();
                    const qsizetype end = received->indexOf("\r\n\r\n");
                    if (end < 0) return;
                    const QByteArray head = received->left(end);
                    requests.push_back(head.toStdString());
                    const QByteArray answer = Answer(head.split(' ').value(1).split('?').value(0));
                    if (answer.isEmpty()) return;
                    socket->write(answer);
                    socket->disconnectFromHost();
                });
            }
        });
    }

    std::string Address(const std::string& path) const {
        return "127.0.0.1:" + std::to_string(server_.serverPort()) + path;
    }

    std::vector<std::string> requests;

private:
    static QByteArray Answer(const QByteArray& path) {
        if (path == "/ok")
            return "HTTP/1.1 200 OK\r\nContent-Length: 26\r\nConnection: close\r\n\r\n" + kBody;
        if (path == "/moved")
            return "HTTP/1.1 302 Found\r\nLocation: /ok\r\nContent-Length: 6\r\n"
                   "Connection: close\r\n\r\nmovido";
        if (path == "/missing")
            return "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\nConnection: close\r\n\r\nnada";
        return {};
    }

    QTcpServer server_;
};

// Answers written as raw bytes by a thread of the test's own, so that how an
// answer comes (cut, reset, trickled) owes nothing to the client's event
// loop. Each connection's request goes to `answer` with its path and how
// many times that path was asked for before.
class RawServer {
public:
    using TAnswer = std::function<void(int socket, const std::string& path, int visit)>;

    explicit RawServer(TAnswer answer) : answer_(std::move(answer)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 8);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~RawServer() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }

    std::string Address(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    int Visits(const std::string& path) {
        std::lock_guard<std::mutex> lock(mutex_);
        return visits_[path];
    }

    // Writes all of text; false once the client has gone.
    static bool Send(int socket, const std::string& text) {
        return ::send(socket, text.data(), text.size(), MSG_NOSIGNAL) == ssize_t(text.size());
    }

private:
    void Serve() {
        for (;;) {
            const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (socket < 0) return;
            std::string request;
            char buffer[4096];
            ssize_t n;
            while (request.find("\r\n\r\n") == std::string::npos &&
                   (n = ::recv(socket, buffer, sizeof buffer, 0)) > 0)
                request.append(buffer, size_t(n));
            const size_t start = request.find(' ') + 1;
            const std::string path = request.substr(start, request.find(' ', start) - start);
            int visit;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                visit = visits_[path]++;
            }
            answer_(socket, path, visit);
            ::close(socket);
        }
    }

    TAnswer answer_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::map<std::string, int> visits_;
};

// A loopback port nothing listens on.
quint16 ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

class WebHelpers : public velorim_test::ProgramTest {};

TEST_F(WebHelpers, CheckUrlTakesTwoHundredAndThreeHundredTwo) {
    Start(false);
    LoopbackServer server;
    EXPECT_TRUE(Form1->CheckUrl(server.Address("/ok")));
    ASSERT_EQ(server.requests.size(), 1u);
    EXPECT_THAT(server.requests[0], HasSubstr("GET /ok HTTP/1.1"));
    EXPECT_THAT(server.requests[0], HasSubstr("User-Agent: InetURL:/1.0"));

    // The redirection itself answers: it is not followed.
    EXPECT_TRUE(Form1->CheckUrl("HTTP://" + server.Address("/moved")));
    EXPECT_EQ(server.requests.size(), 2u);
    EXPECT_FALSE(Form1->CheckUrl(server.Address("/missing")));
    EXPECT_FALSE(Form1->CheckUrl("127.0.0.1:" + std::to_string(ClosedPort()) + "/ok"));
    EXPECT_FALSE(Form1->CheckUrl("http://"));
    // A scheme is only one at the start of the address.
    EXPECT_TRUE(Form1->CheckUrl(server.Address("/ok?u=http://y")));
    EXPECT_THAT(server.requests.back(), HasSubstr("GET /ok?u=http://y HTTP/1.1"));

    // A server that never answers is left at the timeout.
    EXPECT_EQ(HttpStatusCode("http://" + server.Address("/silent"), THttpOptions{"", 300}), 0);
}

TEST_F(WebHelpers, DownloadFileReplacesTheFileOnlyWithAWholeAnswer) {
    Start(false);
    LoopbackServer server;
    const std::string target = (dir / "baixado.tab").string();
    Write("baixado.tab", "antigo");

    EXPECT_FALSE(Form1->DownloadFile("http://" + server.Address("/missing"), target));
    EXPECT_FALSE(
        Form1->DownloadFile("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/ok", target));
    EXPECT_FALSE(Form1->DownloadFile("file://" + target, target));
    EXPECT_EQ(Read("baixado.tab"), "antigo");

    EXPECT_TRUE(Form1->DownloadFile("http://" + server.Address("/moved"), target));
    EXPECT_EQ(Read("baixado.tab"), kBody.toStdString());
    EXPECT_THAT(server.requests.back(), HasSubstr("GET /ok "));

    // Too large for its limit: nothing is written, no temporary file stays.
    Write("baixado.tab", "antigo");
    EXPECT_FALSE(HttpDownloadFile("http://" + server.Address("/ok"), target, THttpOptions{}, 10));
    EXPECT_EQ(Read("baixado.tab"), "antigo");
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        files.push_back(entry.path().filename());
    EXPECT_THAT(files, ElementsAre("baixado.tab"));
}

// The old file is replaced only by a body known whole from one connection.
TEST_F(WebHelpers, DownloadFileTakesOnlyAWholeBody) {
    Start(false);
    const std::string body(1000000, 'x');
    RawServer server([&](int socket, const std::string& path, int visit) {
        const std::string ok = "HTTP/1.1 200 OK\r\n";
        const std::string length = "Content-Length: 1000000\r\n\r\n";
        if (path == "/whole" || visit > 0) {
            RawServer::Send(socket, ok + length + body);
        } else if (path == "/cut") {
            RawServer::Send(socket, ok + length + body.substr(0, 500000));
        } else if (path == "/reset") {
            RawServer::Send(socket, ok + length + body.substr(0, 500000));
            const linger reset{1, 0};
            ::setsockopt(socket, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        } else if (path == "/chunked") {
            RawServer::Send(socket, ok + "Transfer-Encoding: chunked\r\n\r\n1a\r\n" +
                                        kBody.toStdString() + "\r\n0\r\n\r\n");
        } else if (path == "/chunk-cut") {
            RawServer::Send(socket, ok + "Transfer-Encoding: chunked\r\n\r\n1a\r\n" +
                                        kBody.toStdString() + "\r\n1000\r\nxxxx");
        } else if (path == "/two-lengths") {
            RawServer::Send(socket, ok + "Content-Length: 26\r\nContent-Length: 30\r\n\r\n" +
                                        kBody.toStdString());
        } else if (path == "/no-content") {
            RawServer::Send(socket, "HTTP/1.1 204 No Content\r\n\r\n");
        } else if (path == "/empty") {
            RawServer::Send(socket, ok + "Content-Length: 0\r\n\r\n");
        } else if (path == "/until-close") {
            RawServer::Send(socket, ok + "\r\n" + kBody.toStdString());
        } else if (path == "/empty-coding") {
            // An empty list names no coding: the body is the file.
            RawServer::Send(socket, ok + "Content-Encoding: \r\nContent-Length: 26\r\n\r\n" +
                                        kBody.toStdString());
        }
    });
    const std::string target = (dir / "baixado.tab").string();
    Write("baixado.tab", "antigo");
    for (const char* path : {"/cut", "/reset", "/chunk-cut", "/two-lengths", "/no-content",
                             "/empty", "/until-close"}) {
        EXPECT_FALSE(Form1->DownloadFile(server.Address(path), target)) << path;
        EXPECT_EQ(Read("baixado.tab"), "antigo") << path;
        // One attempt: the request is not sent again behind the caller's back.
        EXPECT_EQ(server.Visits(path), 1) << path;
    }
    EXPECT_TRUE(Form1->DownloadFile(server.Address("/chunked"), target));
    EXPECT_EQ(Read("baixado.tab"), kBody.toStdString());
    Write("baixado.tab", "antigo");
    EXPECT_TRUE(Form1->DownloadFile(server.Address("/empty-coding"), target));
    EXPECT_EQ(Read("baixado.tab"), kBody.toStdString());
    EXPECT_TRUE(Form1->DownloadFile(server.Address("/whole"), target));
    EXPECT_EQ(Read("baixado.tab"), body);
}

// The time limits hold over the whole call, also against a server that
// floods or trickles its headers.
TEST_F(WebHelpers, TimeLimitsHoldAgainstEndlessHeaders) {
    Start(false);
    std::atomic<bool> done{false};
    RawServer server([&](int socket, const std::string& path, int) {
        if (path == "/slow-status") {
            bool sent = RawServer::Send(socket, "HTTP/1.1 200 ");
            while (sent && !done) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                sent = RawServer::Send(socket, "k");
            }
            return;
        }
        bool sent = RawServer::Send(socket, "HTTP/1.1 200 OK\r\n");
        for (int i = 0; sent && !done; ++i) {
            sent = RawServer::Send(socket, "X-Cabecalho-" + std::to_string(i) + ": valor\r\n");
            if (path == "/trickle") std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const THttpOptions oneSecond{"", 1000};
    for (const char* path : {"/flood", "/trickle"}) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(HttpDownloadFile(server.Address(path), (dir / "x.tab").string(), oneSecond)) << path;
        EXPECT_LT(clock.elapsed(), 2500) << path;
        EXPECT_FALSE(std::filesystem::exists(dir / "x.tab"));
    }
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(HttpStatusCode(server.Address("/slow-status"), oneSecond), 0);
    EXPECT_LT(clock.elapsed(), 2500);
    done = true;
}

} // namespace
