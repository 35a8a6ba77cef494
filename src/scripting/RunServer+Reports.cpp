// Report builders: the plain command that makes one, and the object
// commands that fill it and write it into a new report record of an open
// database (shown in a record window) or into a script variable.
#include <algorithm>

#include "app/LibraryFolder.h"
#include "charts/ReportCommands.h"
#include "document/GEDCOMModel.h"
#include "foundation/MainThread.h"
#include "foundation/Numbers.h"
#include "index/DocumentScripting.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "script/ISScriptOutput.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptController.h"
#include "scripting/ScriptNames.h"
#include "scripting/ScriptReportPage.h"

namespace kl {

namespace {

// A column text as a script list holds it; objects have none.
std::optional<std::string> columnText(const Value& item) {
    if (item.isString()) return item.toString();
    if (item.isNumber()) return formatNumber(item.toReal());
    return std::nullopt;
}

// The document's front window among its window controllers.
std::shared_ptr<Object> frontWindowOf(IndexController& index) {
    DocumentWindows* windows = index.windows();
    if (!windows) return nullptr;
    const DocumentWindowController* front = windows->frontGEDCOMcontroller();
    for (const auto& controller : windows->windowControllers())
        if (controller.get() == front) return controller;
    return nullptr;
}

}  // namespace

void RunServer::doCreatescriptoutput() {
    const std::string message = "First parameter in CreateScriptOutput command must be a valid object variable name";
    if (!more()) {
        outputError(message, &origCmd_);
        return;
    }
    auto name = objectNameArgument(message);
    if (!name) return;
    auto title = getString();
    if (!title) return;
    auto style = getString();
    if (!style) return;
    scriptObjects_.set(*name, Value(std::make_shared<ISScriptOutput>(*title, *style)));
}

void RunServer::doObjectOut(const Value& target) {
    auto output = target.objectAs<ISScriptOutput>();
    if (!output) {
        outputError("out command only allowed for script output objects", &origCmd_);
        return;
    }
    if (output->style() != ISScriptOutput::MonospaceStyle) {
        if (!more()) {
            outputError("out command requires a text argument", &origCmd_);
            return;
        }
        output->addText(*getString());
        return;
    }
    auto first = getString();
    if (!first) return;
    std::vector<std::string> columns;
    const Value named = findExistingObject(*first);
    if (!named.isNull()) {
        const Array* items = listItemsOf(named);
        bool readable = items != nullptr;
        if (items)
            for (const Value& item : *items) {
                auto text = columnText(item);
                if (!text) readable = false;
                else columns.push_back(*text);
            }
        if (!readable) {
            outputError("error adding columns to a monospace report", &origCmd_);
            return;
        }
        doneReading();
    } else {
        columns.push_back(*first);
        while (more()) columns.push_back(*getString());
    }
    try {
        output->addCols(columns);
    } catch (const std::exception&) {
        outputError("error adding columns to a monospace report", &origCmd_);
    }
}

void RunServer::doObjectNewline(const Value& target) {
    auto output = target.objectAs<ISScriptOutput>();
    if (!output) {
        outputError("NewLine command only allowed for script output objects", &origCmd_);
        return;
    }
    long count = 1;
    if (more() && !getIntarg(count)) return;
    output->addNewLine(count);
}

void RunServer::doObjectMoveto(const Value& target) {
    auto output = target.objectAs<ISScriptOutput>();
    if (!output) {
        outputError("MoveTo command only allowed for script output objects", &origCmd_);
        return;
    }
    long row = 0;
    long column = 0;
    if (nextCmd_.size() - std::min(arg_, nextCmd_.size()) < 2) {
        outputError("MoveTo command requires row and column in two arguments", &origCmd_);
        return;
    }
    getIntarg(row);
    getIntarg(column);
    output->moveToRow(row, column);
}

void RunServer::doObjectCss(const Value& target) {
    auto output = target.objectAs<ISScriptOutput>();
    if (!output) {
        outputError("css command only allowed for script output objects", &origCmd_);
        return;
    }
    if (!more()) {
        outputError("css command requires a text argument", &origCmd_);
        return;
    }
    output->addCSS(*getString());
}

void RunServer::doObjectHead(const Value& target) {
    auto output = target.objectAs<ISScriptOutput>();
    if (!output) {
        outputError("head command only allowed for script output objects", &origCmd_);
        return;
    }
    if (!more()) {
        outputError("head command requires a text argument", &origCmd_);
        return;
    }
    output->addHead(*getString());
}

bool RunServer::insertIntoReport(const Value& target) {
    auto output = target.objectAs<ISScriptOutput>();
    if (!output) return false;
    auto text = getString();
    long index = 0;
    if (!text || !getIntarg(index)) return true;
    if (!output->klis_insertObject(*text, index))
        outputError("insert index for a List or ScriptOutput is out of bounds", &origCmd_);
    return true;
}

void RunServer::doObjectWrite(const Value& target) {
    auto output = target.objectAs<ISScriptOutput>();
    if (!output) {
        outputError("write command only allowed for script output objects", &origCmd_);
        return;
    }
    if (!more()) {
        outputError("write command requires a document object or variable name", &origCmd_);
        return;
    }
    const std::string destination = *getString();
    const std::optional<std::string> extra = more() ? getString() : std::nullopt;
    if (Expression::validVarname(destination)) {
        std::string text = output->finishReport(extra);
        if (output->style() == ISScriptOutput::HTMLStyle) {
            Dispatcher::current().postAndWait([&] {
                const LibraryFolder* library = controller_ ? controller_->ports().library : nullptr;
                text = exportReportPage(removeRecordLinks(std::move(text)), reportStyleSheet(library));
            });
        }
        variables_.insert_or_assign(destination, std::move(text));
        return;
    }
    auto document = findExistingObject(destination).objectAs<DocumentScripting>();
    if (!document) {
        outputError("write command requires a document object or variable name starting in '#'.", &origCmd_);
        return;
    }
    writeReportToDocument(*output, document, extra);
}

void RunServer::writeReportToDocument(ISScriptOutput& output, const std::shared_ptr<DocumentScripting>& document,
                                      const std::optional<std::string>& extra) {
    const std::string text = output.finishReport(extra);
    std::optional<ReportRecord::Font> font;
    if (auto name = output.reportFont()) font = ReportRecord::Font{*name, output.monosize()};
    returnValue_ = Value();
    std::shared_ptr<Object> browser;
    const bool open = document->onMain([&](IndexController& index) {
        auto record = ReportCommands::addReportWithFont(index.gedcomModel(), text, output.title(), font,
                                                        output.printsize());
        if (record && index.windows()) index.windows()->openRecordBrowser(record, std::nullopt, this, false);
        browser = returnValue_.object();
    });
    // A closed database would lose the report without a word.
    if (!open) {
        outputError("write command cannot store the report: its document is closed", &origCmd_);
        return;
    }
    if (!browser) return;
    waitForWindow(browser, [&]() -> std::shared_ptr<Object> {
        std::shared_ptr<Object> front;
        document->onMain([&](IndexController& index) { front = frontWindowOf(index); });
        return front;
    });
}

}  // namespace kl
