#include "server_lifecycle.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "document_filters.h"
#include "job_order.h"
#include "local_socket.h"
#include "server_state.h"

namespace printer_app {
namespace {

// How often the server looks for a stop request.
constexpr int kStopCheckSeconds = 1;

volatile sig_atomic_t stopSignalled = 0;

struct Server {
  pappl_system_t* system = nullptr;
  std::string statePath;
  std::string socketPath;
  std::mutex mutex;
  bool stopping = false;
  std::set<std::string> waiting;  // documents of the jobs waiting before their first byte
  bool started = false;           // whether the first check after the start has run
};

Server& TheServer() {
  static Server server;
  return server;
}

void OnStopSignal(int) { stopSignalled = 1; }

void CatchStopSignals() {
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// A printer with stored jobs and none processing starts the first of them.
void StartStoredJobs(pappl_printer_t* printer, void*) {
  KeepJobsInOrder(printer);
  if (papplPrinterGetNumberOfActiveJobs(printer) > 0) papplPrinterResume(printer);
}

// Jobs that came while a printer was paused or busy wait in line by the next check.
void LineUpJobs(pappl_printer_t* printer, void*) { KeepJobsInOrder(printer); }

[[noreturn]] void Stop(Server& server) {
  std::set<std::string> waiting;
  {
    std::lock_guard<std::mutex> lock(server.mutex);
    server.stopping = true;
    waiting = server.waiting;
  }
  papplLog(server.system, PAPPL_LOGLEVEL_INFO,
           "Stopping; jobs that have not printed yet stay queued.");
  SaveStateForStop(server.system, server.statePath, [&waiting](const std::string& document) {
    return waiting.count(document) != 0;
  });
  papplLog(server.system, PAPPL_LOGLEVEL_INFO, "Stopped.");
  // PAPPL's threads are still inside their jobs and clients: the process ends without
  // unwinding them.
  _exit(0);
}

// Runs on the server's main loop every second: lines up the jobs and looks for a stop request.
// PAPPL has put its own signal handlers in place by the first run, which replaces them.
bool EverySecond(pappl_system_t* system, void*) {
  Server& server = TheServer();
  if (!server.started) {
    server.started = true;
    CatchStopSignals();
    RestrictLocalSocket(system, server.socketPath);
    papplSystemIteratePrinters(system, StartStoredJobs, nullptr);
  }
  papplSystemIteratePrinters(system, LineUpJobs, nullptr);
  if (stopSignalled || papplSystemIsShutdown(system)) Stop(server);
  return true;
}

}  // namespace

void PrepareServer(pappl_system_t* system, const char* baseName) {
  Server& server = TheServer();
  server.system = system;
  server.statePath = StateFilePath(baseName);
  server.socketPath = LocalSocketPath(baseName);
  LoadServerState(system, server.statePath, HasDocumentFilter);
  papplSystemAddTimerCallback(system, time(nullptr), kStopCheckSeconds, EverySecond, nullptr);
}

void WaitUntilSending(pappl_job_t* job, bool waiting) {
  const char* document = papplJobGetFilename(job);
  if (document == nullptr) return;  // a streamed job cannot be taken up again
  Server& server = TheServer();
  std::lock_guard<std::mutex> lock(server.mutex);
  if (waiting) {
    server.waiting.insert(document);
  } else {
    server.waiting.erase(document);
  }
}

void BeginSending(pappl_job_t* job) {
  Server& server = TheServer();
  std::unique_lock<std::mutex> lock(server.mutex);
  while (server.stopping) {
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::seconds(1));  // until the process ends
    lock.lock();
  }
  lock.unlock();
  WaitUntilSending(job, false);
}

}  // namespace printer_app
