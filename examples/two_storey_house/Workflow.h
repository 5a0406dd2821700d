#pragma once
// The architect's session with the add-on, one step at a time, against the
// house in the stand-in host. Every step checks what the host reports: an
// error code, an alert nobody expected or a dialog misused ends the run
// with a std::runtime_error naming the step.

#include "House.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class Workflow {
public:
  // The printer takes one finished line.
  Workflow(HostFixture& host, std::function<void(const std::string&)> print);
  ~Workflow();

  void OpenProject();
  void Settings();
  void InsertPatterns();
  void CreateAutomaticAreas();
  void OutputWorksheetsAndCsv();
  // Save, close, reopen; the totals and the CSV must come back unchanged.
  void SaveCloseReopen();
  void PrintSummary();

  // The CSV beside the saved project.
  std::filesystem::path CsvPath() const;
  // The worksheets written, in the order of the host's databases.
  std::vector<std::pair<std::string, API_DatabaseUnId>> Worksheets() const;
  // Per pattern, each node's area on each storey it calculates and for the
  // building, one line a node.
  std::string Totals() const;

private:
  void CheckSettings() const;
  void SelectPattern(const char16_t* name);
  void AssignAutomaticAreas();
  void Step(const std::string& line, const std::function<void()>& action);
  void CheckHost(const std::string& step);
  void Output(bool csv);
  void Create(short story, const std::vector<API_Guid>& selection);

  HostFixture& host_;
  std::function<void(const std::string&)> print_;
  House house_;
  std::size_t alertsSeen_ = 0;
  std::size_t alertsExpected_ = 0;
  bool loaded_ = false;
};
