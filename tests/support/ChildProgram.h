#pragma once

#include <memory>
#include <string>
#include <vector>

namespace pavix::test {

// A program the test starts with its arguments (the first is the program's
// path) and whose output goes where the test's own goes. It is ended, if it
// has not ended by itself, and waited for when the object dies; a test asks
// it to finish by its own channel first.
//
// Under Wine a Unix path names a Unix program: Wine starts it as a Unix
// process it does not track, so the program must end by itself when the
// test drops its channel (a Windows process handle is all there is to end).
class ChildProgram {
 public:
  explicit ChildProgram(const std::vector<std::string>& arguments);
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  bool Started() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace pavix::test
