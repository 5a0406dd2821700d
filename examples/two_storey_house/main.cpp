// The add-on's main job end to end: a two-storey house in the stand-in
// host, worked through the palette and dialogs as an architect would, ends
// as worksheets and a CSV area table. Writes into the output folder (the
// argument, taken from the working directory; default out/example) the
// CSV, one SVG picture per worksheet under worksheets/ with a PNG of it
// beside it, and the list of the files written (OutputFolder.h says how the
// folder is changed). Exits non-zero with a message on the first failure.

#include "OutputFolder.h"
#include "Workflow.h"
#include "host_svg.h"
#include "io_filesystem.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>

namespace fs = std::filesystem;

extern char** environ;

namespace {

constexpr const char* kUsage =
    "usage: two_storey_house [FOLDER]\n"
    "Runs the add-on's workflow on a two-storey house in the stand-in host and writes into FOLDER\n"
    "(relative to the current folder; default out/example) the CSV area table, one SVG picture per\n"
    "worksheet with a PNG of it in worksheets/, and .two_storey_house-files, the list of those files.\n"
    "FOLDER must be new, empty, or hold only what an earlier run listed; it is replaced as a whole\n"
    "when the run succeeds and left as it was when the run fails or is interrupted.\n"
    "A folder whose name starts with \"-\" is given as ./-name.\n";

// Set by a signal; the run stops at its next step and leaves the folder.
volatile std::sig_atomic_t g_signal = 0;

void OnSignal(int signal) { g_signal = signal; }

struct Interrupted : std::runtime_error {
  Interrupted() : std::runtime_error("interrupted by signal " + std::to_string(g_signal)) {}
};

void CheckSignal()
{
  if (g_signal != 0)
    throw Interrupted();
}

void Print(const std::string& line)
{
  std::cout << line << '\n' << std::flush;
  CheckSignal();
}

void WriteFile(const fs::path& file, const std::string& bytes)
{
  std::ofstream stream(file, std::ios::binary);
  stream << bytes;
  if (!stream.flush())
    throw std::runtime_error("cannot write " + file.string());
}

// The picture as the sheet would print, by rsvg-convert; false when the
// program is not installed.
bool RenderPng(const fs::path& svg, const fs::path& png)
{
  std::string program = "rsvg-convert", output = "--output=" + png.string(), input = svg.string();
  char* argv[] = {program.data(), output.data(), input.data(), nullptr};
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ);
  if (spawned == ENOENT)
    return false;
  if (spawned != 0)
    throw std::runtime_error("cannot run rsvg-convert (" + std::to_string(spawned) + ")");
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
    CheckSignal();
  CheckSignal();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("rsvg-convert could not draw " + svg.string());
  return true;
}

// For the tests of an interrupted run: holds the run half-way through
// writing the pictures until a signal comes (at most a minute).
void PauseWhenAsked()
{
  if (std::getenv("TWO_STOREY_HOUSE_PAUSE") == nullptr)
    return;
  Print("paused while writing the pictures");
  for (int i = 0; i < 6000; ++i) {
    CheckSignal();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void WritePictures(const HostFixture& host, const Workflow& workflow, OutputFolder& folder)
{
  bool png = true;
  std::size_t drawn = 0;
  for (const auto& [name, database] : workflow.Worksheets()) {
    const fs::path svg = folder.Add(fs::path("worksheets") / fs::u8path(name + ".svg"));
    WriteFile(svg, pln::host::DatabaseSvg(host, database));
    if (png) {
      const fs::path picture = folder.Add(fs::path("worksheets") / fs::u8path(name + ".png"));
      png = RenderPng(svg, picture);
      if (!png)
        Print("   rsvg-convert (package librsvg2-bin) is not installed: no PNG pictures");
    }
    if (++drawn == 1)
      PauseWhenAsked();
    CheckSignal();
  }
  Print("7. " + std::to_string(drawn) + " worksheet pictures drawn" + (png ? ", each as SVG and PNG" : ""));
}

void Run(OutputFolder& folder)
{
  pln::host::SetSandboxRoot(folder.Scratch());
  HostFixture host;
  {
    Workflow workflow(host, Print);
    workflow.OpenProject();
    workflow.Settings();
    workflow.InsertPatterns();
    workflow.CreateAutomaticAreas();
    workflow.OutputWorksheetsAndCsv();
    workflow.SaveCloseReopen();

    const fs::path csv = folder.Add(workflow.CsvPath().filename());
    fs::copy_file(workflow.CsvPath(), csv);
    WritePictures(host, workflow, folder);
    workflow.PrintSummary();
  }
  CheckSignal();
  folder.Commit();
  Print("Files written into " + folder.Target().string() + ":");
  for (const fs::path& file : folder.Files())
    Print("  " + file.string());
  Print("  " + std::string(OutputFolder::kMarker) + " (the list of these files)");
  Print("The example's files are in " + folder.Target().string());
}

void CatchSignals()
{
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    ::sigaction(signal, &action, nullptr);
}

int UsageError(const std::string& what)
{
  std::cerr << "two_storey_house: " << what << '\n' << kUsage;
  return 2;
}

// The absolute folder, symbolic links followed (the folder they point at is
// replaced); its path is checked before the system is asked about it.
fs::path ResolveTarget(const std::string& argument)
{
  const fs::path absolute = fs::absolute(fs::path(argument));
  OutputFolder::CheckPath(absolute.lexically_normal());
  fs::path target = fs::weakly_canonical(absolute);
  // "out/" names the folder out, not a place inside it.
  return target.has_filename() ? target : target.parent_path();
}

}  // namespace

int main(int argc, char** argv)
{
  CatchSignals();
  if (argc > 2)
    return UsageError("one FOLDER at most");
  const std::string argument = argc == 2 ? argv[1] : "out/example";
  if (argument == "--help" || argument == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (argument.empty())
    return UsageError("the folder name is empty");
  if (argument.front() == '-')
    return UsageError("unknown option " + argument);
  fs::path target;
  bool existed = false;
  try {
    target = ResolveTarget(argument);
    OutputFolder folder(target);
    existed = folder.TargetExisted();
    Run(folder);
    return 0;
  } catch (const OutputFolder::Refused& refused) {  // its text says what was left
    std::cerr << "example failed: " << refused.what() << '\n';
    return 1;
  } catch (const std::exception& error) {
    const std::string left = target.empty() ? "; nothing was written"
                             : existed      ? "; the previous result in " + target.string() + " is left as it was"
                                            : "; nothing was written to " + target.string();
    const bool interrupted = dynamic_cast<const Interrupted*>(&error) != nullptr;
    std::cerr << (interrupted ? "example " : "example failed: ") << error.what() << left << '\n';
    return interrupted ? 128 + g_signal : 1;
  }
}
