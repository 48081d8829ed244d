// One terminal session.
#include "comm/session.h"

namespace comm {

size_t BlockSize(int job_kind) { return job_kind == 161 ? 128 : 80; }

TTerminalSession::TTerminalSession(const ServerJob& job, TerminalList& list, Socket& socket, std::string peer,
                                   const std::atomic<bool>& stopping)
    : job_(job), list_(list), socket_(socket), peer_(std::move(peer)), stopping_(stopping) {}

void TTerminalSession::Run() {}

}  // namespace comm
