#pragma once
// ReportController: the base of every built-in report. beginReport asks the
// report to prepare (main thread), compiles it on a worker thread while the
// main thread waits a second and then shows the progress panel, and stores
// the HTML as a report record when the run is done. The class methods write
// the HTML pieces the reports share; record data in them is made safe for
// the page (safeHTMLText).
//
// Status: 0 running, 1 done, 2 cancelled, 3 failed, moved only away from
// running by compare-and-swap, so a cancel is never overwritten. Changes a
// report makes to the database are gathered by the worker and applied by
// applyCollectedChanges on the main thread only when the run is done.
//
// Ownership: held by std::shared_ptr; the worker holds the report too, so
// it outlives the command that started it. beginReport returns only once
// the worker has ended, so the model is never read by a worker while the
// main thread edits it. Thread: main thread, except compileReport and what
// it calls (incrementDone, stillRunning, the report text).
#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/KLProgress.h"

namespace kl {

class GEDCOMDocument;
class GEDCOMModel;
class GEDCOMRecord;
class RecordsIndices;
class ReportHost;

class ReportController : public KLProgress, public std::enable_shared_from_this<ReportController> {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    enum Status : int32_t { Running = 0, Done = 1, Cancelled = 2, Failed = 3 };
    static constexpr double kPause = 1.0;
    static constexpr double kPollInterval = 0.25;
    // Record sets of an options sheet: every record, the selection, or an
    // album's index from 0.
    static constexpr int32_t kAllRecords = -2;
    static constexpr int32_t kSelectedRecords = -1;

    ReportController(GEDCOMDocument& document, ReportHost& host);
    ~ReportController() override;

    // Runs the report; main thread, on a report held by a shared_ptr.
    void beginReport();

    // ---- what the reports override
    virtual bool reportPreparation() { return true; }
    virtual void compileReport() {}
    virtual void reportCompletion() {}
    virtual int32_t totalReportTasks() { return 1; }
    virtual bool isIndeterminate() { return false; }
    virtual std::string progressTitle() { return "Compiling a Report"; }
    virtual std::string progressMessage() { return "Tasks Completed"; }
    virtual void finishNumberDone() { done_.store(total_.load()); }
    // Main thread, after a done run and before it is stored.
    virtual void applyCollectedChanges() {}

    // ---- the run
    const std::string& report() const { return report_; }
    std::string& reportText() { return report_; }
    // Replaces the text by "<div>\n<h1>heading</h1>\n\n".
    void setReport(const std::string& heading);
    const std::string& theTitle() const { return theTitle_; }
    void setTheTitle(std::string title) { theTitle_ = std::move(title); }
    void incrementDone() { done_.fetch_add(1, std::memory_order_relaxed); }
    int32_t doneCount() const { return done_.load(std::memory_order_relaxed); }
    int32_t status() const { return status_.load(); }
    // Why a failed run failed.
    const std::string& failureReason() const { return failure_; }
    void setWhichRecords(int32_t which) { whichRecords_ = which; }
    int32_t whichRecords() const { return whichRecords_; }
    // nullopt for every record; the selection or an album's records
    // (empty when there is no such album).
    std::optional<std::vector<RecordPtr>> getWhichRecords();
    // Whether a worker was started and has not ended.
    bool workerRunning() const;

    GEDCOMDocument& document() const { return document_; }
    GEDCOMModel& model() const { return model_; }
    RecordsIndices& recordsIndex() const { return recordsIndex_; }
    ReportHost& host() const { return host_; }

    // ---- KLProgress
    void progressDidLoad() override {}
    double fractionDone() override;
    std::optional<std::string> updateStatusField() override { return std::to_string(doneCount()); }
    bool stillRunning() override { return status_.load() == Running; }
    void cancelAction() override;

    // ---- HTML writers
    static void addContents(std::string& html, const std::vector<std::string>& sections,
                            const std::vector<std::string>& links);
    static void addSection(std::string& html, const std::string& heading, const std::string& link = "");
    // Row 0 holds the headings. Cells are written as given: callers make
    // record data safe with htmlText.
    static void addTable(std::string& html, const std::vector<std::vector<std::string>>& rows);
    static void addLink(std::string& html, const GEDCOMRecord& record);
    static void addList(std::string& html, const std::string& kind, const std::vector<std::string>& items,
                        const std::string& cssClass = "");
    static void addRow(std::string& html, const std::vector<std::string>& items);
    // "<ol>", one list item with a record link per record, "</ol>".
    static void addLinkList(std::string& html, const std::vector<RecordPtr>& records);
    // Record data as page text.
    static std::string htmlText(const std::string& text);
    // A path as a percent-encoded file:// address.
    static std::string fileAddress(const std::string& path);

private:
    void reportThread();
    bool finishStatus(Status status);

    GEDCOMDocument& document_;
    GEDCOMModel& model_;
    RecordsIndices& recordsIndex_;
    ReportHost& host_;
    std::string theTitle_;
    std::string report_;
    std::string failure_;
    std::atomic<int32_t> total_{1};
    std::atomic<int32_t> done_{0};
    std::atomic<int32_t> status_{Running};
    int32_t whichRecords_ = kAllRecords;
    std::shared_future<void> workerEnded_;
};

}  // namespace kl
