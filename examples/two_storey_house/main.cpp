// The add-on's main job end to end: a two-storey house in the stand-in
// host, worked through the palette and dialogs as an architect would, ends
// as worksheets and a CSV area table. Writes into the output folder (the
// argument, default out/example) a copy of the CSV, one SVG picture per
// worksheet under worksheets/, and host/, the stand-in's sandbox holding
// the project. Exits non-zero with a message on the first failure.

#include "Workflow.h"
#include "host_svg.h"
#include "io_filesystem.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

void Print(const std::string& line) { std::cout << line << '\n' << std::flush; }

// A folder the run may fill: made when missing, its sandbox emptied.
fs::path PrepareOutput(const fs::path& out)
{
  if (fs::exists(out) && !fs::is_directory(out))
    throw std::runtime_error(out.string() + " exists and is not a folder");
  fs::create_directories(out);
  fs::remove_all(out / "host");
  fs::remove_all(out / "worksheets");
  fs::create_directories(out / "host");
  fs::create_directories(out / "worksheets");
  return fs::absolute(out);
}

void WriteFile(const fs::path& file, const std::string& bytes)
{
  std::ofstream stream(file, std::ios::binary);
  stream << bytes;
  if (!stream.flush())
    throw std::runtime_error("cannot write " + file.string());
}

int Run(const fs::path& requested)
{
  const fs::path out = PrepareOutput(requested);
  pln::host::SetSandboxRoot(out / "host");
  HostFixture host;
  std::vector<std::string> written;
  {
    Workflow workflow(host, Print);
    workflow.OpenProject();
    workflow.Settings();
    workflow.InsertPatterns();
    workflow.CreateAutomaticAreas();
    workflow.OutputWorksheetsAndCsv();
    workflow.SaveCloseReopen();

    const fs::path csv = out / workflow.CsvPath().filename();
    fs::copy_file(workflow.CsvPath(), csv, fs::copy_options::overwrite_existing);
    written.push_back(csv.string());
    for (const auto& [name, database] : workflow.Worksheets()) {
      const fs::path svg = out / "worksheets" / fs::u8path(name + ".svg");
      WriteFile(svg, pln::host::DatabaseSvg(host, database));
      written.push_back(svg.string());
    }
    Print("7. " + std::to_string(written.size() - 1) + " worksheet pictures drawn");
    workflow.PrintSummary();
  }
  Print("Files written:");
  for (const std::string& file : written)
    Print("  " + file);
  Print("  " + (out / "host").string() + "/ (the stand-in host's files, the project among them)");
  return 0;
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc > 2) {
    std::cerr << "usage: " << argv[0] << " [output folder]\n";
    return 2;
  }
  try {
    return Run(argc == 2 ? fs::path(argv[1]) : fs::path("out/example"));
  } catch (const std::exception& error) {
    std::cerr << "example failed: " << error.what() << '\n';
    return 1;
  }
}
