#pragma once
// A scripted loopback HTTP server for tests: each connection in turn reads one request (its
// head and, with a Content-Length, its body), gets the next scripted answer as raw bytes and
// is closed. The requests are kept byte for byte.
//
//   ScriptedHttpServer server({"HTTP/1.0 200 OK\r\n\r\n12\n"});
//   ... point the client at 127.0.0.1:server.Port() ...
//   EXPECT_EQ(server.Requests().at(0), "POST /path HTTP/1.0\r\n...");
//
// Every wait is bounded, so a client that goes astray fails the test instead of hanging it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class ScriptedHttpServer {
  public:
    // How the server treats each connection.
    enum class Manner {
        Answer,   // reads the request, sends the next answer whole and closes
        Silent,   // takes the connection and holds it open, reading and sending nothing
        Trickle,  // as Answer, but sends the answer a byte every 50 ms
    };

    // A connection beyond the scripted answers is closed without an answer.
    explicit ScriptedHttpServer(std::vector<std::string> answers, Manner manner = Manner::Answer);
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    std::uint16_t Port() const;
    // The requests read so far, in order. A request is kept before its answer is sent, so a
    // client that has its answer finds its request here.
    std::vector<std::string> Requests() const;
    // Connections taken so far.
    int Connections() const;

  private:
    class Runner;
    std::unique_ptr<Runner> m_runner;
};

}  // namespace testing_support
