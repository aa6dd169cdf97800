// The table every benchmark prints: a figure, the baseline measured in the
// same run, their ratio and the goal.
#pragma once

#include <string>
#include <vector>

namespace selvarex::bench {

struct Row {
  std::string figure;
  double value = 0;
  double baseline = 0;  // 0: no baseline, no ratio
  std::string unit;
  std::string goal;
};

class Report {
 public:
  void Add(Row row) { rows_.push_back(std::move(row)); }
  void Note(std::string note) { notes_.push_back(std::move(note)); }
  void Print(const std::string& command) const;

 private:
  std::vector<Row> rows_;
  std::vector<std::string> notes_;
};

double Median(std::vector<double> values);

}  // namespace selvarex::bench
