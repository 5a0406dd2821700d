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
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
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
    "A symbolic link to a folder is followed; one that points to nothing is refused.\n"
    "A folder whose name starts with \"-\" is given as ./-name.\n";

// The signals that stop a run; SIGQUIT too, so that no signal a user sends
// from the terminal kills it without a word.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

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

sigset_t StopSignals()
{
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kStopSignals)
    sigaddset(&set, signal);
  return set;
}

// The stop signals the run catches: those its caller left ignored (nohup, a
// script's background job) stay ignored, here and in what it starts.
sigset_t g_caught;

// Holds the stop signals for its lifetime; one that came meanwhile is
// handled when it ends.
class SignalsHeld {
public:
  SignalsHeld()
  {
    const sigset_t set = StopSignals();
    ::sigprocmask(SIG_BLOCK, &set, &previous_);
  }
  ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
  sigset_t previous_;
};

// The standard output failed: its own cause, whatever the error (a full
// device there is not the folder's).
struct OutputFailed : std::system_error {
  using std::system_error::system_error;
};

// A reader that went away (`| head`) is a failure of the run, not a reason
// to die without a word and leave the new folder behind.
void Print(const std::string& line)
{
  errno = 0;
  std::cout << line << '\n' << std::flush;
  const int error = errno;
  if (!std::cout)
    throw OutputFailed(error != 0 ? error : EIO, std::generic_category(), "cannot write to the standard output");
  CheckSignal();
}

// rsvg-convert starts with the signals as a program expects them, not with
// SIGPIPE ignored as here, and reads and writes the files the run opened.
struct SpawnAttributes {
  SpawnAttributes()
  {
    ::posix_spawnattr_init(&attributes);
    sigset_t defaults = g_caught, none;
    sigaddset(&defaults, SIGPIPE);
    sigemptyset(&none);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  }
  ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  posix_spawnattr_t attributes;
};

// The child's status once it ended. On a signal to the run the child is
// stopped and waited for first, so that nothing of it writes into the new
// folder while that is removed.
int WaitFor(pid_t child)
{
  for (;;) {
    int status = 0;
    const pid_t ended = ::waitpid(child, &status, WNOHANG);
    const int error = ErrorOf(ended);
    if (ended == child)
      return status;
    if (error != 0 && error != EINTR)
      throw std::runtime_error(std::string("cannot wait for rsvg-convert: ") + std::strerror(error));
    if (g_signal != 0) {
      ::kill(child, SIGTERM);
      while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
      throw Interrupted();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

struct FileActions {
  FileActions(int input, int output)
  {
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
  }
  ~FileActions() { ::posix_spawn_file_actions_destroy(&actions); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t actions;
};

// The picture as the sheet would print, by rsvg-convert, from the SVG on
// its standard input to the PNG on its standard output: both are files the
// run opened in its new folder, so no path of the child's can lead
// elsewhere. False when the program is not installed (the PNG's empty file
// is not kept then).
bool RenderPng(OutputFolder& folder, const fs::path& svg, const fs::path& png)
{
  std::string program = "rsvg-convert";
  char* argv[] = {program.data(), nullptr};
  const OpenFd input = folder.Open(svg);
  const OpenFd output = folder.Create(png);
  const SpawnAttributes spawn;
  const FileActions files(input.Fd(), output.Fd());
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, program.c_str(), &files.actions, &spawn.attributes, argv, environ);
  if (spawned == ENOENT) {
    folder.Forget(png);
    return false;
  }
  if (spawned != 0)
    throw std::runtime_error("cannot run rsvg-convert (" + std::to_string(spawned) + ")");
  const int status = WaitFor(child);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("rsvg-convert could not draw " + folder.StagedPath(svg).string());
  return true;
}

// For the tests: where the variable names a file, holds the run until that
// file appears or a signal comes (at most a minute), so that a test can
// change the folder or send a signal at a known moment.
void PauseWhenAsked(const char* variable, const std::string& where)
{
  const char* release = std::getenv(variable);
  if (release == nullptr)
    return;
  Print("paused " + where);
  for (int i = 0; i < 6000 && g_signal == 0 && !fs::exists(release); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  CheckSignal();
}

void WritePictures(const HostFixture& host, const Workflow& workflow, OutputFolder& folder)
{
  bool png = true;
  std::size_t drawn = 0;
  for (const auto& [name, database] : workflow.Worksheets()) {
    const fs::path svg = fs::path("worksheets") / fs::u8path(name + ".svg");
    folder.Write(svg, pln::host::DatabaseSvg(host, database));
    if (png) {
      png = RenderPng(folder, svg, fs::path("worksheets") / fs::u8path(name + ".png"));
      if (!png)
        Print("   rsvg-convert (package librsvg2-bin) is not installed: no PNG pictures");
    }
    if (++drawn == 1)
      PauseWhenAsked("TWO_STOREY_HOUSE_PAUSE", "while writing the pictures");
    CheckSignal();
  }
  Print("7. " + std::to_string(drawn) + " worksheet pictures drawn" + (png ? ", each as SVG and PNG" : ""));
}

// No signal splits the swap from what the run says of it: one that comes
// during it is handled after, when the new result is in place.
void PutInPlace(OutputFolder& folder)
{
  const SignalsHeld held;
  PauseWhenAsked("TWO_STOREY_HOUSE_PAUSE_SWAP", "at the swap");
  folder.Commit();
}

void Run(OutputFolder& folder)
{
  CheckSignal();
  PauseWhenAsked("TWO_STOREY_HOUSE_PAUSE_MAKE", "before making the folders");
  folder.Stage();
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

    folder.Write(workflow.CsvPath().filename(), ReadBytes(workflow.CsvPath()));
    WritePictures(host, workflow, folder);
    workflow.PrintSummary();
  }
  CheckSignal();
  PutInPlace(folder);
  Print("Files written into " + OutputFolder::Shown(folder.Target()) + ":");
  for (const fs::path& file : folder.Files())
    Print("  " + file.string());
  Print("  " + std::string(OutputFolder::kMarker) + " (the list of these files)");
  Print("The example's files are in " + OutputFolder::Shown(folder.Target()));
}

// First thing in main. scripts/example starts the program with the stop
// signals held, so one sent before this is handled now and not lost.
void CatchSignals()
{
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigemptyset(&g_caught);
  for (int signal : kStopSignals) {
    struct sigaction given = {};
    if (::sigaction(signal, nullptr, &given) == 0 && given.sa_handler == SIG_IGN)
      continue;
    ::sigaction(signal, &action, nullptr);
    sigaddset(&g_caught, signal);
  }
  std::signal(SIGPIPE, SIG_IGN);
  const sigset_t set = StopSignals();
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

int UsageError(const std::string& what)
{
  std::cerr << "two_storey_house: " << what << '\n' << kUsage;
  return 2;
}

// A link to nothing on the way is refused, as is a loop of links: the run
// would otherwise make a folder where the link points, which the user may
// not expect.
void CheckLinks(const fs::path& target)
{
  for (fs::path path = target; path != path.parent_path(); path = path.parent_path()) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error)))
      continue;
    (void)fs::status(path, error);
    if (error == std::errc::too_many_symbolic_link_levels)
      throw OutputFolder::Refused("\"" + path.string() +
                                  "\" is a symbolic link that leads round in a loop; nothing was written");
    throw OutputFolder::Refused("\"" + path.string() + "\" is a symbolic link to " +
                                fs::read_symlink(path, error).string() +
                                ", which does not exist; nothing was written. Give the folder itself.");
  }
}

// The absolute folder, symbolic links followed (the folder they point at is
// replaced); its path is checked before the system is asked about it.
fs::path ResolveTarget(const std::string& argument)
{
  std::error_code error;
  const fs::path absolute = fs::absolute(fs::path(argument), error);
  if (error)
    throw OutputFolder::Refused("cannot find the folder this command was run in, from which the relative FOLDER " +
                                OutputFolder::Quoted(argument) +
                                " is taken; nothing was written. Run the command from a folder that exists, or "
                                "give an absolute path.");
  OutputFolder::CheckPath(absolute.lexically_normal());
  fs::path target = fs::weakly_canonical(absolute, error);
  if (error == std::errc::too_many_symbolic_link_levels)
    throw OutputFolder::Refused("the folder's path \"" + absolute.string() +
                                "\" leads round a loop of symbolic links; nothing was written");
  if (error)
    throw OutputFolder::Refused("cannot look up the folder's path \"" + absolute.string() + "\": " + error.message() +
                                "; nothing was written");
  // "out/" names the folder out, not a place inside it.
  target = target.has_filename() ? target : target.parent_path();
  CheckLinks(target);
  return target;
}

// What the folder holds when the run stopped before it took the folder on
// (waiting for another run).
std::string UntouchedOutcome(const fs::path& target)
{
  std::error_code error;
  return OutputFolder::Untouched(target, !target.empty() && fs::exists(fs::symlink_status(target, error)));
}

// A failure with a cause of its own (a closed output, a denied write) is
// named by it; one without is put down to a full device when the device is
// nearly full.
bool OutOfRoom(const std::optional<OutputFolder>& folder, const std::exception& error)
{
  if (dynamic_cast<const OutputFailed*>(&error) != nullptr)
    return false;
  if (const auto* system = dynamic_cast<const std::system_error*>(&error))
    return system->code() == std::errc::no_space_on_device || system->code().value() == EDQUOT;
  return folder.has_value() && folder->OutOfRoom();
}

// The last words of a run that did not complete, after its new folder is
// gone: what stopped it, and what the folder holds now.
int Failed(std::optional<OutputFolder>& folder, const fs::path& target, const std::exception& error)
{
  const bool interrupted = g_signal != 0;
  const bool outOfRoom = !interrupted && OutOfRoom(folder, error);
  const std::string outcome = folder.has_value() ? folder->Outcome() : UntouchedOutcome(target);
  if (folder.has_value() && !folder->Committed())
    folder->Abandon();
  if (interrupted)
    std::cerr << "example interrupted by signal " << g_signal << "; " << outcome << '\n';
  else if (outOfRoom)
    std::cerr << "example failed: no space left on the device that holds "
              << OutputFolder::Shown(target.parent_path()) << "; " << outcome << '\n';
  else
    std::cerr << "example failed: " << error.what() << "; " << outcome << '\n';
  return interrupted ? 128 + g_signal : 1;
}

// Said once for each thing the run waits for ("" when it only starts over);
// a signal ends the wait.
std::function<void(const std::string&)> Waiting()
{
  return [said = std::string()](const std::string& what) mutable {
    if (!what.empty() && what != said) {
      std::cerr << "waiting for " << what << '\n';
      said = what;
    }
    CheckSignal();
  };
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
  std::optional<OutputFolder> folder;
  fs::path target;
  try {
    target = ResolveTarget(argument);
    folder.emplace(target, Waiting());
    Run(*folder);
    return 0;
  } catch (const OutputFolder::Refused& refused) {  // its text says what was left
    std::cerr << "example failed: " << refused.what() << '\n';
    return 1;
  } catch (const std::exception& error) {
    return Failed(folder, target, error);
  }
}
