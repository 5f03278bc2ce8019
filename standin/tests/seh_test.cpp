#include <gtest/gtest.h>

#include "standin/seh.h"
#include "test_support.h"

namespace win32::testing {
namespace {

// seh_frames.dll: RunInFrames(first_id, count, callback, context) registers
// frames first_id .. first_id+count-1 (the last innermost) around the
// callback; every handler call lands in HandlerLog.
constexpr uint32_t kRunInFrames = 1;
struct HandlerCall {
  int frame_id;
  uint32_t flags;
  uint32_t code;
  int records_above;
  bool operator==(const HandlerCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const HandlerCall& call) {
  return out << "{frame " << call.frame_id << ", flags " << call.flags << ", code 0x" << std::hex << call.code
             << std::dec << ", " << call.records_above << " records above}";
}

uint32_t TebWord(uint32_t offset) {
  uint32_t value;
  asm volatile("movl %%fs:(%1), %0" : "=r"(value) : "r"(offset));
  return value;
}

class Seh : public StandinTest {
 public:
  CallResult RunInFrames(int first_id, int count, void (*callback)(void*), void* context) {
    return CallPe(dll_->Export(kRunInFrames), CallConv::Cdecl, {Arg(first_id), Arg(count), Arg(callback), Arg(context)});
  }

 protected:
  void SetUp() override {
    StandinTest::SetUp();
    dll_ = LoadTestDll("seh_frames");
    ASSERT_TRUE(dll_);
    log_ = static_cast<HandlerCall*>(dll_->image().ExportByName("HandlerLog"));
    log_count_ = static_cast<int*>(dll_->image().ExportByName("HandlerLogCount"));
    handler_answer_ = static_cast<int*>(dll_->image().ExportByName("HandlerAnswer"));
    ASSERT_TRUE(log_ && log_count_ && handler_answer_);
  }
  std::vector<HandlerCall> Log() const { return {log_, log_ + *log_count_}; }

  std::unique_ptr<LoadedDll> dll_;
  HandlerCall* log_ = nullptr;
  int* log_count_ = nullptr;
  int* handler_answer_ = nullptr;
};

Seh* current_test = nullptr;
CallResult inner_result;

WINAPI_CDECL void DoNothing(void*) {}
WINAPI_CDECL void Raise(void* code) { RaiseWindowsException(*static_cast<uint32_t*>(code)); }
// Calls into seh_frames.dll again, frames 20 and 21, and raises there.
WINAPI_CDECL void RaiseInNestedCall(void* code) {
  inner_result = current_test->RunInFrames(20, 2, reinterpret_cast<void (*)(void*)>(&Raise), code);
}

TEST_F(Seh, TebGivesSelfStackBoundsAndAnEmptyExceptionList) {
  EnsureTeb();
  EXPECT_EQ(ExceptionListHead(), kEndOfExceptionList);
  const uint32_t self = TebWord(0x18);
  EXPECT_NE(self, 0u);
  EXPECT_EQ(*reinterpret_cast<uint32_t*>(self + 0x18), self) << "fs:[0x18] is not the TEB's address";
  const int local = 0;
  const auto here = reinterpret_cast<uint32_t>(&local);
  EXPECT_LT(TebWord(8), here) << "StackLimit";
  EXPECT_GT(TebWord(4), here) << "StackBase";
}

TEST_F(Seh, CallbackThatReturnsLeavesNoTrace) {
  const CallResult result = RunInFrames(10, 3, reinterpret_cast<void (*)(void*)>(&DoNothing), nullptr);
  EXPECT_TRUE(result.Clean()) << result.Problems();
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(ExceptionListHead(), kEndOfExceptionList);
}

TEST_F(Seh, RaiseSearchesThenUnwindsInnermostFirstAndReturnsToCallPe) {
  struct Case {
    int frames;
    uint32_t code;
  } const cases[] = {{0, 0xE0000001}, {1, 0xC0000005}, {3, 0xE0001234}};
  for (const Case& c : cases) {
    *log_count_ = 0;
    uint32_t code = c.code;
    const CallResult result = RunInFrames(10, c.frames, reinterpret_cast<void (*)(void*)>(&Raise), &code);
    EXPECT_TRUE(result.raised) << c.frames << " frames";
    EXPECT_EQ(result.exception_code, c.code) << c.frames << " frames";
    // Above each frame: the dispatcher's own record for the handler call,
    // plus, while searching, the frames still linked inside it.
    std::vector<HandlerCall> expected;
    const int innermost = 10 + c.frames - 1;
    for (int id = innermost; id >= 10; --id) expected.push_back({id, 0, c.code, 1 + innermost - id});
    for (int id = innermost; id >= 10; --id) expected.push_back({id, EXCEPTION_UNWINDING, c.code, 1});
    EXPECT_EQ(Log(), expected) << c.frames << " frames";
    EXPECT_EQ(ExceptionListHead(), kEndOfExceptionList) << c.frames << " frames";
  }
  EXPECT_TRUE(RunInFrames(1, 2, reinterpret_cast<void (*)(void*)>(&DoNothing), nullptr).Clean())
      << "CallPe after a raise";
}

TEST_F(Seh, RaiseStopsAtTheInnermostCallPe) {
  current_test = this;
  uint32_t code = 0xE0000BAD;
  const CallResult outer = RunInFrames(10, 2, reinterpret_cast<void (*)(void*)>(&RaiseInNestedCall), &code);
  EXPECT_TRUE(outer.Clean()) << "outer call: " << outer.Problems();
  EXPECT_TRUE(inner_result.raised);
  EXPECT_EQ(inner_result.exception_code, code);
  const std::vector<HandlerCall> expected = {
      {21, 0, code, 1}, {20, 0, code, 2}, {21, EXCEPTION_UNWINDING, code, 1}, {20, EXCEPTION_UNWINDING, code, 1}};
  EXPECT_EQ(Log(), expected);
}

TEST_F(Seh, RaiseOutsideCallPeStopsTheProcess) {
  EXPECT_DEATH(RaiseWindowsException(0xE0000002), "RaiseWindowsException\\(0xE0000002\\): raised outside any CallPe");
}

TEST_F(Seh, HandlerThatClaimsTheExceptionStopsTheProcess) {
  *handler_answer_ = 0;  // ExceptionContinueExecution
  uint32_t code = 0xE0000003;
  EXPECT_DEATH(RunInFrames(10, 1, reinterpret_cast<void (*)(void*)>(&Raise), &code),
               "answered 0 instead of ExceptionContinueSearch");
}

}  // namespace
}  // namespace win32::testing
