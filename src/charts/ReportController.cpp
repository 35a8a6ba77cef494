#include "charts/ReportController.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "charts/ReportHost.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/Exception.h"
#include "foundation/HTMLText.h"
#include "foundation/Logger.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

// Answers whether a report's worker is still alive, for the wait after the
// panel: the worker may still read the model after a cancel.
class WorkerWait : public KLProgress {
public:
    explicit WorkerWait(const ReportController& report) : report_(report) {}
    double fractionDone() override { return 0; }
    std::optional<std::string> updateStatusField() override { return std::nullopt; }
    bool stillRunning() override { return report_.workerRunning(); }
    void cancelAction() override {}

private:
    const ReportController& report_;
};

}  // namespace

ReportController::ReportController(GEDCOMDocument& document, ReportHost& host)
    : document_(document), model_(document.gedcomModel()), recordsIndex_(model_.recordsIndex()), host_(host) {}

ReportController::~ReportController() = default;

void ReportController::beginReport() {
    if (!reportPreparation()) return;
    done_.store(0);
    status_.store(Running);
    total_.store(totalReportTasks());
    const auto started = std::chrono::steady_clock::now();
    Logger::log("Start report {}", theTitle_);
    std::promise<void> ended;
    workerEnded_ = ended.get_future().share();
    std::thread([self = shared_from_this(), ended = std::move(ended)]() mutable {
        self->reportThread();
        // The main thread holds the report until this end is told, so the
        // report is never destroyed on the worker.
        self.reset();
        ended.set_value();
    }).detach();

    DocumentUI& ui = host_.ui();
    if (ui.pauseIn(*this, kPause)) ui.runProgress(*this, progressTitle(), progressMessage(), kPollInterval);
    // A cancelled worker may still be between two records; the model is
    // the main thread's again only once it has ended.
    WorkerWait wait(*this);
    if (wait.stillRunning()) ui.pauseIn(wait, 24.0 * 3600);
    workerEnded_.wait();

    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
    Logger::log("...done report in {} seconds, status {}", seconds.count(), status());
    if (status() == Done) {
        applyCollectedChanges();
        host_.addOpenReport(report_, theTitle_);
    } else if (status() == Failed) {
        host_.alert("The report could not be completed.", failure_);
    }
    reportCompletion();
}

bool ReportController::workerRunning() const {
    return workerEnded_.valid() && workerEnded_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

bool ReportController::finishStatus(Status status) {
    int32_t running = Running;
    return status_.compare_exchange_strong(running, status);
}

void ReportController::reportThread() {
    try {
        compileReport();
        finishStatus(Done);
    } catch (const NamedException& error) {
        if (error.name() == exception_names::ReportCancel) {
            finishStatus(Cancelled);
        } else {
            failure_ = error.message();
            finishStatus(Failed);
        }
    } catch (const std::exception& error) {
        failure_ = error.what();
        finishStatus(Failed);
    } catch (...) {
        failure_ = "An unknown error occurred.";
        finishStatus(Failed);
    }
}

void ReportController::cancelAction() { finishStatus(Cancelled); }

double ReportController::fractionDone() {
    const int32_t total = total_.load();
    return total > 0 ? static_cast<double>(doneCount()) / total : 0.0;
}

void ReportController::setReport(const std::string& heading) {
    report_ = "<div>\n<h1>" + htmlText(heading) + "</h1>\n\n";
}

std::optional<std::vector<ReportController::RecordPtr>> ReportController::getWhichRecords() {
    if (whichRecords_ == kSelectedRecords) return host_.selectedRecords();
    if (whichRecords_ < 0) return std::nullopt;
    const auto albums = recordsIndex_.albums();
    if (static_cast<std::size_t>(whichRecords_) >= albums.size()) return std::vector<RecordPtr>{};
    return albums[static_cast<std::size_t>(whichRecords_)]->order();
}

// ---- HTML writers

std::string ReportController::htmlText(const std::string& text) { return safeHTMLText(text, false, false); }

std::string ReportController::fileAddress(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string address = "file://";
    for (unsigned char c : path) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                           c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            address += static_cast<char>(c);
        } else {
            address += '%';
            address += hex[c >> 4];
            address += hex[c & 15];
        }
    }
    return address;
}

void ReportController::addContents(std::string& html, const std::vector<std::string>& sections,
                                   const std::vector<std::string>& links) {
    html += "<div class='contents'>\n<ul>\n";
    for (std::size_t i = 0; i < sections.size() && i < links.size(); ++i)
        html += "  <li><a href='#" + links[i] + "'>" + htmlText(sections[i]) + "</a></li>\n";
    html += "</ul>\n</div>\n";
}

void ReportController::addSection(std::string& html, const std::string& heading, const std::string& link) {
    html += "<h2>";
    if (!link.empty()) html += "<a name='" + link + "'></a>";
    html += htmlText(heading) + "</h2>\n";
}

void ReportController::addTable(std::string& html, const std::vector<std::vector<std::string>>& rows) {
    html += "<table>\n<thead><tr>\n";
    if (!rows.empty())
        for (const auto& heading : rows.front()) html += "<th>" + heading + "</th>\n";
    html += "</tr></thead>\n<tbody>\n";
    for (std::size_t row = 1; row < rows.size(); ++row) {
        html += "<tr>\n";
        addRow(html, rows[row]);
        html += "</tr>\n";
    }
    html += "</tbody>\n</table>\n";
}

void ReportController::addLink(std::string& html, const GEDCOMRecord& record) {
    html += "<a href='//" + htmlText(record.grecordID()) + "'>" + htmlText(record.viewName()) + "</a>";
}

void ReportController::addList(std::string& html, const std::string& kind, const std::vector<std::string>& items,
                               const std::string& cssClass) {
    html += cssClass.empty() ? "<" + kind + ">\n" : "<" + kind + " class='" + cssClass + "'>\n";
    for (const auto& item : items) html += "<li>" + item + "</li>\n";
    html += "</" + kind + ">\n";
}

void ReportController::addLinkList(std::string& html, const std::vector<RecordPtr>& records) {
    html += "<ol>\n";
    for (const auto& record : records) {
        html += "<li>";
        addLink(html, *record);
        html += "</li>\n";
    }
    html += "</ol>\n";
}

void ReportController::addRow(std::string& html, const std::vector<std::string>& items) {
    for (const auto& item : items) html += "<td>" + item + "</td>\n";
}

}  // namespace kl
