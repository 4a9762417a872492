// The main window's web helpers against a small HTTP server of the test's own
// on the loopback address.
#include <gmock/gmock.h>

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <filesystem>
#include <memory>

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
                    const QByteArray answer = Answer(head.split(' ').value(1));
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

} // namespace
