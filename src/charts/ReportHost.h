#pragma once
// ReportHost: what a report asks of the windows around its document: the
// wait behind the progress panel, the document's display name, the records
// selected in the index window, alerts, and storing a finished report as a
// report record opened in a record window. The desktop implements it over
// the index window; tests use a small fake.
//
// Thread: main thread only; reports never call it from their worker.
#include <memory>
#include <string>
#include <vector>

namespace kl {

class DocumentUI;
class GEDCOMRecord;

class ReportHost {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    virtual ~ReportHost() = default;

    virtual DocumentUI& ui() = 0;
    virtual std::string displayName() = 0;
    // The records selected in the index window, in selection order.
    virtual std::vector<RecordPtr> selectedRecords() = 0;
    virtual void alert(const std::string& message, const std::string& information) = 0;
    // Stores the body as a report record titled "<title> (<n>)" and opens it.
    virtual void addOpenReport(const std::string& body, const std::string& title) = 0;
};

}  // namespace kl
