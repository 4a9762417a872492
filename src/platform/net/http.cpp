#include "platform/net/http.h"

#include <QByteArray>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

#include "platform/runtime/codepage.h"
#include "platform/runtime/files.h"

namespace {

constexpr int kMaxRedirects = 5;

QUrl ToUrl(const std::string& address) {
    const QUrl url(QString::fromStdString(Cp1252ToUtf8(address)));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty())
        return QUrl();
    return url;
}

bool IsLoopback(const QUrl& url) {
    QHostAddress address;
    if (address.setAddress(url.host())) return address.isLoopback();
    return url.host().compare("localhost", Qt::CaseInsensitive) == 0;
}

// One GET run in a local event loop until it finishes, a handler stops it,
// or the deadline passes. The handlers run inside Qt's signals: they must
// not raise.
class TExchange {
public:
    TExchange(const QUrl& url, const THttpOptions& options, bool followRedirects) {
        // No proxy stands between the program and its own machine.
        if (IsLoopback(url)) manager_.setProxy(QNetworkProxy::NoProxy);
        QNetworkRequest request(url);
        if (!options.UserAgent.empty())
            request.setRawHeader("User-Agent", QByteArray::fromStdString(options.UserAgent));
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             followRedirects ? QNetworkRequest::NoLessSafeRedirectPolicy
                                             : QNetworkRequest::ManualRedirectPolicy);
        request.setMaximumRedirectsAllowed(kMaxRedirects);
        timeoutMs_ = options.TimeoutMs > 0 ? options.TimeoutMs : 1;
        request.setTransferTimeout(timeoutMs_);
        reply_ = manager_.get(request);
        QObject::connect(reply_, &QNetworkReply::finished, &loop_, &QEventLoop::quit);
        deadline_.setSingleShot(true);
        QObject::connect(&deadline_, &QTimer::timeout, &loop_, [this] { Stop(); });
    }

    ~TExchange() {
        // The handlers see nothing of the end: what they use may be gone.
        reply_->disconnect();
        if (!reply_->isFinished()) reply_->abort();
    }

    QNetworkReply& Reply() { return *reply_; }

    void Wait() {
        if (reply_->isFinished() || stopped_) return;
        deadline_.start(timeoutMs_);
        loop_.exec(QEventLoop::ExcludeUserInputEvents);
        deadline_.stop();
    }

    // Ends the exchange early: what it brought is not taken.
    void Stop() {
        stopped_ = true;
        loop_.quit();
    }
    bool Stopped() const { return stopped_; }

    int Status() const {
        return reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

private:
    QNetworkAccessManager manager_;
    QEventLoop loop_;
    QTimer deadline_;
    QNetworkReply* reply_ = nullptr; // the manager's
    int timeoutMs_ = 0;
    bool stopped_ = false;
};

} // namespace

int HttpStatusCode(const std::string& address, const THttpOptions& options) {
    const QUrl url = ToUrl(address);
    if (url.isEmpty()) return 0;
    try {
        TExchange exchange(url, options, false);
        int status = 0;
        // The status line is all that is wanted: the body is not waited for.
        QObject::connect(&exchange.Reply(), &QNetworkReply::metaDataChanged, [&] {
            status = exchange.Status();
            if (status != 0) exchange.Stop();
        });
        exchange.Wait();
        if (status == 0 && exchange.Reply().isFinished()) status = exchange.Status();
        return status;
    } catch (...) {
        return 0;
    }
}

bool HttpDownloadFile(const std::string& address, const std::string& fileName,
                      const THttpOptions& options, size_t maxSize) {
    const QUrl url = ToUrl(address);
    if (url.isEmpty()) return false;
    try {
        TAtomicFileWriter writer(fileName);
        TExchange exchange(url, options, true);
        QNetworkReply& reply = exchange.Reply();
        size_t received = 0;
        bool failed = false;
        auto take = [&] {
            if (failed) return;
            const int status = exchange.Status();
            if (status != 0 && (status < 200 || status > 299)) {
                failed = true; // an error page is no file
            } else {
                const QByteArray piece = reply.readAll();
                received += static_cast<size_t>(piece.size());
                if (received > maxSize) {
                    failed = true;
                } else {
                    try {
                        writer.Write(piece.constData(), static_cast<size_t>(piece.size()));
                    } catch (...) {
                        failed = true;
                    }
                }
            }
            if (failed) exchange.Stop();
        };
        QObject::connect(&reply, &QNetworkReply::readyRead, take);
        exchange.Wait();
        if (!exchange.Stopped() && reply.isFinished()) take();
        const int status = exchange.Status();
        if (failed || exchange.Stopped() || !reply.isFinished() ||
            reply.error() != QNetworkReply::NoError || status < 200 || status > 299) {
            writer.Discard();
            return false;
        }
        writer.Commit();
        return true;
    } catch (...) {
        return false;
    }
}
