// Start-up time of korvex: from starting the process to its first painted main window.
//
// Each iteration starts the program with KORVEX_QUIT_AFTER_FIRST_PAINT set, which makes it
// quit as soon as the main window has been painted once, and waits for it to end; the time
// includes loading the libraries, reading the element tables and structure files, building
// both windows and the first recompute (and the short way out). Needs a display (xvfb-run).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

bool RunOnce(std::string& error) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  env.emplace_back("KORVEX_QUIT_AFTER_FIRST_PAINT=1");
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = KORVEX_PROGRAM;
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
    error = "cannot start " + program;
    return false;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    error = "korvex did not end cleanly (is there a display?)";
    return false;
  }
  return true;
}

void BM_StartUpToFirstPaint(benchmark::State& state) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
    state.SkipWithError("no display: run under xvfb-run");
    return;
  }
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    if (!RunOnce(error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(elapsed.count());
  }
}
BENCHMARK(BM_StartUpToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
