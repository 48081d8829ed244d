// kaslo-terminal: plays one or more cash-register terminals against the
// communication server, over loopback or the store network, answering from
// and storing into folders of files. A store's technician uses it to try a
// job without a terminal; the end-to-end tests use it too.
#include <CLI/CLI.hpp>

#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "tools/terminal_sim.h"

namespace kaslo::tools {

int Main(int argc, char** argv) {
  tools::TerminalOptions options;
  unsigned terminals = 1;
  std::string model = "4";

  CLI::App app{
      "Simulated cash-register terminal. Connects to the communication server, receives the\n"
      "files it sends (stored in --receive-dir under their wire file name, e.g. RProds.dad)\n"
      "and answers its requests with the files of --send-dir (e.g. Suser.dad; a missing\n"
      "file is answered with size 0, a missing Sid.dad with a made-up identity).\n"
      "Prints one line per event (\"127.0.0.2 received RProds.dad 860\", \"... sent Suser.dad 78\",\n"
      "\"... command CZLogs.dad\", \"... end\", \"... no data\"). Exit status 0 when every\n"
      "terminal was ended by the server with the end frame or the no-data reply, 1 otherwise.",
      "kaslo-terminal"};
  app.add_option("--port", options.port, "Server port")->required();
  app.add_option("--server", options.server, "Server address")->capture_default_str();
  app.add_option("--from", options.from,
                 "Local address to connect from; the server knows a terminal by it (127.0.0.x all "
                 "reach a loopback server)")
      ->capture_default_str();
  app.add_option("--model", model, "Model digit of the made-up identity (above 3: 86-byte products)")
      ->check(CLI::IsMember({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}))
      ->capture_default_str();
  app.add_option("--receive-dir", options.receive_dir, "Folder for the files received")->capture_default_str();
  app.add_option("--send-dir", options.send_dir, "Folder of the files to answer with")->capture_default_str();
  app.add_flag("--unknown-size", options.unknown_size,
               "Announce the size as NNNNN and end the data with the 10-byte marker");
  app.add_option("--chunk", options.chunk, "Write the data in pieces of this many bytes, with a short pause between")
      ->check(CLI::NonNegativeNumber);
  app.add_flag("--silent", options.silent, "Connect but never answer a request (time-out trials)");
  app.add_flag("--corrupt-first-header", options.corrupt_first_header,
               "Send the first header once with a wrong checksum before the right one");
  app.add_option("--terminals", terminals,
                 "Play this many terminals at once, from --from, --from+1, ...; each then uses the "
                 "subfolder named by its address in --receive-dir and --send-dir")
      ->check(CLI::Range(1u, 250u))
      ->capture_default_str();
  app.add_option("--timeout", options.timeout_s, "Give up after this many seconds")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  CLI11_PARSE(app, argc, argv);
  options.model = model[0];

  std::mutex out_mutex;
  tools::EventSink print = [&](const std::string& line) {
    std::lock_guard lock(out_mutex);
    std::cout << line << std::endl;
  };

  std::vector<tools::TerminalOptions> each;
  for (unsigned i = 0; i < terminals; ++i) {
    tools::TerminalOptions one = options;
    one.from = tools::NextAddress(options.from, i);
    if (one.from.empty()) {
      std::cerr << "kaslo-terminal: --from is not an IPv4 address: " << options.from << "\n";
      return 1;
    }
    if (terminals > 1) {
      one.receive_dir = options.receive_dir / one.from;
      one.send_dir = options.send_dir / one.from;
    }
    each.push_back(one);
  }

  std::vector<char> ok(each.size(), 0);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < each.size(); ++i) {
    threads.emplace_back([&, i] { ok[i] = tools::RunTerminal(each[i], print) ? 1 : 0; });
  }
  for (auto& thread : threads) thread.join();
  for (char one : ok) {
    if (!one) return 1;
  }
  return 0;
}

}  // namespace kaslo::tools

int main(int argc, char** argv) { return kaslo::tools::Main(argc, argv); }
