#pragma once

#include <httplib.h>

#include <QString>

#include <thread>

// A real HTTP server on 127.0.0.1 at a free port, serving on its own thread for the
// lifetime of the object. Register routes on server() before calling start().
class LocalHttpServer {
public:
    LocalHttpServer() = default;
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;
    ~LocalHttpServer() { stop(); }

    httplib::Server& server() { return m_server; }

    bool start() {
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return false;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
        return true;
    }

    void stop() {
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }

    int port() const { return m_port; }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};
