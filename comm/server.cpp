// The server: listener thread and connection threads.
#include "comm/server.h"

#include "comm/session.h"

namespace comm {

uint16_t PortFromText(std::string_view text) { return kDefaultPort; }

struct TMavtroneServer::Connection {};

TMavtroneServer::TMavtroneServer(ServerJob job, TerminalList& list) : job_(std::move(job)), list_(list) {}
TMavtroneServer::~TMavtroneServer() { stop(); }
bool TMavtroneServer::start(uint16_t port, const std::string& bind_address) { return false; }
uint16_t TMavtroneServer::port() const { return port_; }
void TMavtroneServer::stop() {}
size_t TMavtroneServer::activeSessions() const { return 0; }

}  // namespace comm
