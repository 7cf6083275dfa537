// The threads that analyse and write a run's pages ahead leave no page that the run waits for
// unstarted, whatever they were doing as the run came to it.

#include "batch_fixture.h"

#include "batch/analysis_ahead.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace tagwright {
namespace {

using namespace testing;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Each step of a scripted scenario is over in milliseconds: one that is not over in this long
// never will be.
constexpr auto kNever = 30s;

// Sleeps until `flag` holds; whether it does.
bool sleepUntil(const std::atomic<bool>& flag)
{
    const Clock::time_point since = Clock::now();
    while (!flag && Clock::now() - since < kNever)
        std::this_thread::sleep_for(1ms);
    return flag;
}

// A disk whose first flush waits for it (the thread gives the CPU up for a few milliseconds) and
// whose later flushes cost nothing; the second one ends only once `secondMayEnd` holds, on the
// CPU meanwhile, so that it does not count as waiting for the disk.
class ScriptedFlushes : public FileSystem
{
  public:
    explicit ScriptedFlushes(const std::atomic<bool>& secondMayEnd) : secondMayEnd_(secondMayEnd)
    {
    }

    bool flush(int) override
    {
        const int call = ++flushes_;
        if (call == 1)
            std::this_thread::sleep_for(5ms);
        const Clock::time_point since = Clock::now();
        while (call == 2 && !secondMayEnd_ && Clock::now() - since < kNever) {
        }
        return true;
    }

  private:
    const std::atomic<bool>& secondMayEnd_;
    std::atomic<int> flushes_ = 0;
};

class AnalysisAheadTest : public BatchRunTest
{
};

TEST_F(AnalysisAheadTest, ASpareThreadThatMayNoLongerStartPagesLeavesItsPlaceToAWorker)
{
    // One place for an analysis, so that who holds it is known at each step. The worker writes
    // a.htm, whose flush waits for the disk: spare threads now take the places that writing
    // workers leave. The worker leaves its place as it writes b.htm, and a spare takes done.htm;
    // the flush of b.htm, over at once, tells that flushes no longer wait, while the spare still
    // reads the head of done.htm. The run passes done.htm over (done recently) and waits for
    // last.htm, which no thread could start while the spare held the place.
    for (const char* name : {"a.htm", "b.htm", "done.htm", "last.htm"})
        writeBytes(file(name), page("Garden soil"));
    std::atomic<bool> doneBeingRead = false;
    std::atomic<bool> doneMayBeRead = false;
    ScriptedFlushes disk(doneBeingRead);
    PassingOver passingOver{[](const PageFile&) { return true; },
                            [&](const PageFile& page) {
                                OldTagAndDoneDate head;
                                if (page.name == "done.htm") {
                                    doneBeingRead = true;
                                    sleepUntil(doneMayBeRead);
                                    head.doneRecently = true;
                                }
                                return head;
                            },
                            [](const OldTagAndDoneDate& head) { return head.doneRecently; }};
    WriteAhead writing{tag, InsertRequest{}, &disk,
                       [](const OldTagAndDoneDate&, const std::string&, bool) { return true; }};
    AnalysisAhead ahead(analysis, commonWords, 1, disk, std::move(passingOver), writing);
    const auto top = std::make_shared<const Folder>(disk.openFolder(folder.path()));
    ahead.add({{top, "a.htm"}, {top, "b.htm"}, {top, "done.htm"}, {top, "last.htm"}});

    // The run comes to the pages once a spare reads the head of done.htm.
    ASSERT_TRUE(sleepUntil(doneBeingRead));
    Clock::time_point since = Clock::now();
    const auto givenUp = [&since] { return Clock::now() - since > kNever; };
    ASSERT_TRUE(ahead.take(0, givenUp));
    ASSERT_TRUE(ahead.take(1, givenUp));
    since = Clock::now();
    const std::optional<PageAnalysis> last = ahead.take(3, [&] {
        doneMayBeRead = true;
        return givenUp();
    });
    ASSERT_TRUE(last) << "the run waited for a page that no thread started";
    EXPECT_EQ(last->outcome.result, kAnalysisDone);
    EXPECT_TRUE(last->insertion);
}

} // namespace
} // namespace tagwright
