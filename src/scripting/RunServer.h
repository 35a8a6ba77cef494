#pragma once
// RunServer: the interpreter of internal scripts (.klscpt). A run reads the
// script with a CommandParcer in source mode on a thread of its own, keeps
// the script's variables and named objects, evaluates every argument with
// an ISExpression, and dispatches each command through two tables (plain
// commands and object commands) keyed by the lower-case word, so script text
// reaches only the listed handlers. Failures become one report naming the
// line, the character and the command as written; the run then ends and the
// report is its result.
//
// Ownership: made by the ScriptController and shared with the thread of its
// run, so a controller that drops it lets the run finish. The per-run state
// lives here, created when a run starts and dropped when it ends; only one
// run uses an interpreter at a time (the controller refuses a second).
// Thread: everything runs on the run's thread, except control()/setControl()
// and outputError() without a command, which the panel calls from the main
// thread. Work on the model or the panel is handed to the main thread
// through the Dispatcher and waited for.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "foundation/Value.h"
#include "model/ISScripting.h"
#include "script/CommandCode.h"
#include "script/CommandParcer.h"
#include "script/Expression.h"
#include "script/ExpressionAtDelegate.h"
#include "script/ExpressionEvaulator.h"
#include "script/Variables.h"

namespace kl {

class ClipboardPort;
class DocumentScripting;
class ISListType;
class ISScriptOutput;
class ScriptApplication;
class ScriptController;
class ScriptRunSink;

class RunServer : public ExpressionEvaulator,
                  public ExpressionAtDelegate,
                  public ISInterpreter,
                  public std::enable_shared_from_this<RunServer> {
public:
    enum Control : int { Running = 0, Stopped = 1, Killed = 2 };
    enum DumpFlags : int { DumpParsed = 1, DumpEvaluated = 2 };
    // A locator that names no item of a list.
    static constexpr long NotFound = -1;
    // The "running macOS" version scripts see: their newest branches run.
    static constexpr int macSystem = 1300;

    // initWithController: idle (control 2) until a run starts.
    explicit RunServer(ScriptController* controller);
    ~RunServer() override;
    RunServer(const RunServer&) = delete;
    RunServer& operator=(const RunServer&) = delete;

    // Starts a run over the text on a new thread and returns at once. The
    // search list is [".klscpt", script folder, module folders...]; the
    // objects are handed to the script as named script objects.
    void doAnalysisThread(std::string text, Array searchList, Dictionary objects = {});
    // The run itself, on the calling thread (the thread entry).
    void interpretThread(std::string text, Array searchList, Dictionary objects = {});
    // Whether a run has started and not yet reported its end.
    bool isRunning() const { return running_.load(); }
    // The controller is going away: the run ends without telling it.
    // Main thread, like every use of the controller.
    void forgetController() { controller_ = nullptr; }

    int control() const { return control_.load(); }
    void setControl(int value) { control_.store(value); }
    int dump() const { return dump_.load(); }
    // The report of the last run that failed; nullopt after a sound run.
    std::optional<std::string> scriptError() const {
        std::lock_guard lock(errorMutex_);
        return scriptError_;
    }

    // Records an error report and stops the run after the current command.
    // Without a command (errors that reach the panel from the main thread)
    // the report is completed by the run's thread at its next check.
    void outputError(const std::string& message, const Command* command);

    // ---- ExpressionEvaulator
    std::optional<std::string> evaulateCommandExpression(const std::string& expression) override;
    std::optional<std::string> subReturnValue() const override { return subReturnValue_; }
    void setSubReturnValue(std::optional<std::string> value) override { subReturnValue_ = std::move(value); }
    // ---- ExpressionAtDelegate
    std::string evaluateAtString(const std::string& text, const Variables& variables) override;
    // ---- ISInterpreter
    std::shared_ptr<Object> scriptObject(const std::string& name) override;
    void setReturnValue(Value value) override { returnValue_ = std::move(value); }
    Value returnValue() override { return returnValue_; }
    std::shared_ptr<Object> makeList(Array items) override;
    std::shared_ptr<Object> makeDictionary(Dictionary entries) override;

    const std::vector<std::string>* defByName(const std::string& name) const;
    Variables& variables() { return variables_; }
    const Dictionary& scriptObjects() const { return scriptObjects_; }
    CommandParcer* parce() { return parce_.get(); }
    const std::string& extensionFolder() const { return extensionFolder_; }
    // The current format's language string for the key.
    std::optional<std::string> localString(const std::string& key) const;

    // ---- Lookups (@-references and object paths)
    std::shared_ptr<Object> scriptObjectForKey(const std::string& name);
    Value findExistingObject(const std::string& path);
    long decodeIndex(const std::string& locator, const Value& list);
    std::string grabAtom(const std::vector<std::string>& parts, std::size_t index) const;
    std::string derefVariable(const std::string& name, const Variables& variables) const;
    std::string checkObject(const Value& list, const std::string& text);

    // ---- Argument reader over the command being run
    bool more() const { return arg_ < nextCmd_.size(); }
    std::optional<std::string> getString();
    bool getIntarg(long& value);
    bool findDouble(double& value);
    bool tooFew();
    void doneReading() { arg_ = nextCmd_.size(); }
    void backup(std::size_t count) { arg_ = arg_ > count ? arg_ - count : 0; }

    // ---- Names
    static bool validObjectName(const std::string& name);
    std::optional<std::string> getVarOrObjName(bool& isVariable, const std::string& command);
    std::shared_ptr<Object> getNoneType();

    // After a command opened a window: reads the document's front window on
    // the main thread (frontWindow) until it is the awaited one, at most 101
    // times 0.01 s apart; false when it never came.
    bool waitForWindow(const std::shared_ptr<Object>& window,
                       const std::function<std::shared_ptr<Object>()>& frontWindow);

    // ---- Hand-offs to the panel, on the main thread (waiting)
    void showScriptMessage(const std::string& text);
    void clearScriptMessage(const std::string* text);
    void appendOutput(const std::string& text);

private:
    using PlainHandler = void (RunServer::*)();
    using ObjectHandler = void (RunServer::*)(const Value& target);
    struct Tables {
        std::unordered_map<std::string, PlainHandler> plain;
        std::unordered_map<std::string, ObjectHandler> object;
    };
    // The command words scripts may use, lower case, and their handlers.
    static const Tables& commandTables();

    // The loop and its steps.
    void initRunSettings();
    void deallocRunSettings();
    void commandLoop();
    bool runOneCommand(Command command);
    bool parserMarker(const std::string& word);
    bool evaluateArguments(const std::string& word);
    bool doAssign(const std::string& op);
    void storeAssignment();
    void assignVariable();
    void assignObject();
    void dumpCommand(const Command& command, const std::string& label);
    void flushPendingError();
    std::string commandText(const Command* command) const;

    // Object commands and their cascade.
    void doObjectCommand(const Value& target, const std::string& path);
    Value objectAttribute(const Value& object, const std::string& name);
    void setNamed(const std::string& name, bool isVariable, const Value& value);

    // @-references.
    std::string finishAtString(std::vector<std::string> parts, const Variables& variables);
    std::string atError(const std::string& message);

    // Plain commands (conditions, loops, subroutines, run control, output).
    void doIf();
    void doIfstr();
    void doIfnum();
    void doIfdef();
    void doIfndef();
    void doRepeat();
    void doRepeatwith();
    void doEndrepeat();
    void doContinue();
    void doGosub();
    void doLocal();
    void doUnset();
    void doPushvariables();
    void doPopvariables();
    void doDump();
    void doStop();
    void doWrite();
    void doClear();
    void doLog();
    void doBeep();
    void doSleep();
    bool doIfstrResult(bool watchAndOr);
    bool isDefined(const std::string& name);
    void skipBlock();
    bool hasError() const;
    // Plain commands that make script objects.
    void doCreatelist();
    void doCreatedictionary();
    void doCreatestructure();
    void doGetobject();
    void doReadpasteboard();

    // Object commands of any object, lists and dictionaries.
    void doObjectGet(const Value& target);
    void doObjectSet(const Value& target);
    void doObjectEvaluateexpression(const Value& target);
    void doObjectAddobject(const Value& target);
    void doObjectAddstring(const Value& target);
    void doObjectAddlist(const Value& target);
    void doObjectInsertobject(const Value& target);
    void doObjectInsertstring(const Value& target);
    void doObjectRemove(const Value& target);
    void doObjectPop(const Value& target);
    void doObjectSort(const Value& target);
    void doObjectJoin(const Value& target);
    void doObjectSublist(const Value& target);
    void doObjectPutpasteboard(const Value& target);
    void doObjectValueforkey(const Value& target);
    void doObjectSetobjectforkey(const Value& target);
    void doObjectSetstringforkey(const Value& target);
    void doObjectSetnumberforkey(const Value& target);
    void doObjectRemovevalueforkey(const Value& target);
    std::shared_ptr<ISListType> scriptListOr(const Value& target, const std::string& what);

    // Plain commands on texts, names, dates and files (RunServer+Text.cpp).
    void doLines();
    void doWords();
    void doReplace();
    void doOffset();
    void doFormatname();
    void doNameparts();
    void doDatenumbers();
    void doDateparts();
    void doDatestyle();
    void doDatetext();
    void doSdnrange();
    void doSafetex();
    void doSafehtml();
    // safehtml, as a plain command (no document) or on a document, whose
    // records the text's links are rewritten for.
    void safeHtml(const std::shared_ptr<DocumentScripting>& document);
    void doLonlatbounds();
    void doImport();
    void doExport();
    void doDeletefiles();
    void doMakefolder();
    void doUniquefile();
    void doCompress();
    void linesOrWords(bool words);
    void genericReturn(int code);
    static long offsetOf(const std::string& search, long long start, const std::string& text);
    // The first argument when it is a variable name ("#..."), else the
    // message is reported.
    std::optional<std::string> variableArgument(const std::string& message);
    // The same for an object name.
    std::optional<std::string> objectNameArgument(const std::string& message);
    // base[1]..base[n] and base[0] = n.
    void storeListVariable(const std::string& base, const std::vector<std::string>& items);

    // Plain commands on the application, dialogs and processes
    // (RunServer+Application.cpp).
    void doPrechecks();
    void doUseroption();
    void doUserinput();
    void doUserchoice();
    void doUseropenfile();
    void doUseropenfolder();
    void doUsersavefile();
    void doCreatedocument();
    void doOpenurl();
    void doOpenfile();
    void doRevealinfinder();
    void doRefreshscripts();
    void doNotifyprogress();
    void doSubprocess();
    void userOpen(bool forFiles);
    void readExtensions(Dictionary& arguments);
    ScriptApplication& application();
    // Runs the request on the main thread and answers what it left in the
    // return value.
    Value askOnMainThread(const std::function<void(ScriptApplication&)>& ask);

    // Object commands on records and structures (RunServer+Records.cpp).
    void doObjectAddstructure(const Value& target);
    void doObjectMove(const Value& target);
    void doObjectFindstructures(const Value& target);
    // The container and index say where the command's path found the
    // target, so that a script list drops what was deleted.
    void doObjectDelete(const Value& target, const Value& container, long index);
    void doObjectCanlink(const Value& target);
    void doObjectCopyfile(const Value& target);
    void doObjectDescription(const Value& target);
    void doObjectDetach(const Value& target);
    void doObjectDropon(const Value& target);
    void doObjectMergewith(const Value& target);
    void doObjectSortdata(const Value& target);
    void doObjectShowbrowser(const Value& target);
    void doObjectListancestors(const Value& target);
    void doObjectListdescendants(const Value& target);
    void listRelatives(const Value& target, bool ancestors);
    void doObjectShowancestors(const Value& target);
    void doObjectShowdescendants(const Value& target);
    void showRelatives(const Value& target, bool ancestors);
    // Object commands of documents and albums (RunServer+Documents.cpp).
    void doObjectAddalbum(const Value& target);
    void doObjectAddrecord(const Value& target);
    void doObjectUnion(const Value& target);
    void doObjectIntersection(const Value& target);
    void doObjectDifference(const Value& target);
    void doObjectBeginundo(const Value& target);
    void doObjectEndundo(const Value& target);
    void doObjectDisplay(const Value& target);
    void doObjectSave(const Value& target);
    void doObjectClose(const Value& target);
    void doObjectClearcontextinfo(const Value& target);
    void doObjectExportgedcom(const Value& target);
    void doObjectPopulate(const Value& target);
    void doObjectConsolidatemultimedia(const Value& target);
    void doObjectSafehtml(const Value& target);
    // Windows of documents (RunServer+Windows.cpp).
    void doObjectClosechild(const Value& target);
    void doObjectPrint(const Value& target);
    void doObjectUserselect(const Value& target);
    // "close" on a window a script holds; false when the target is none.
    bool closeWindow(const Value& target);
    // "set selectedText" on a document: the text replaces the selection of
    // its front window; false when the target is no document.
    bool setFrontSelectedText(const Value& target, const std::string& text);
    // The package path a save or close writes to: "~" expanded, ending in
    // "gedpkg", not there yet, in a folder that is; nullopt after a report
    // whose texts begin with `command`.
    std::optional<std::string> newPackagePath(const std::string& path, const std::string& command);
    // "delete" on a user album; false when the target is no album.
    bool deleteAlbum(const Value& target);
    void filterAlbum(const Value& target, int kind, const std::string& command);
    // The target as a document, then the object name that receives what a
    // command makes (the argument just read); nullptr after a report.
    std::shared_ptr<DocumentScripting> documentAndName(const Value& target, const std::string& notADocument,
                                                       const std::string& badName);
    // "remove" on an album; false when the target is no album.
    bool removeFromAlbum(const Value& target);

    // Report builders (RunServer+Reports.cpp).
    void doCreatescriptoutput();
    void doObjectOut(const Value& target);
    void doObjectNewline(const Value& target);
    void doObjectMoveto(const Value& target);
    void doObjectCss(const Value& target);
    void doObjectHead(const Value& target);
    void doObjectWrite(const Value& target);
    // "insertstring" on a report builder; false when the target is none.
    bool insertIntoReport(const Value& target);
    void writeReportToDocument(ISScriptOutput& output, const std::shared_ptr<DocumentScripting>& document,
                               const std::optional<std::string>& extra);

    // What a run reaches, taken from the controller when it starts.
    struct RunPorts {
        std::shared_ptr<ScriptRunSink> sink;
        std::shared_ptr<ClipboardPort> clipboard;
        std::shared_ptr<Object> application;
        Dictionary localStrings;
    };

    ScriptController* controller_;  // main thread only
    RunPorts ports_;
    std::atomic<int> control_{Killed};
    std::atomic<int> dump_{0};
    std::atomic<bool> running_{false};
    std::atomic<std::thread::id> runThread_{};

    // Per-run state, used by the run's thread only.
    std::unique_ptr<CommandParcer> parce_;
    Variables variables_;
    std::vector<Variables> variablesStack_;
    Dictionary scriptObjects_;
    Value returnValue_;
    Command nextCmd_;
    Command origCmd_;
    std::size_t arg_ = 1;
    std::optional<std::string> subReturnValue_;
    std::string extensionFolder_;

    // The report, and an error handed in from the main thread.
    mutable std::mutex errorMutex_;
    std::optional<std::string> scriptError_;
    std::optional<std::string> pendingError_;
};

}  // namespace kl
