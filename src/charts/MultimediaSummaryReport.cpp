#include "charts/MultimediaSummaryReport.h"

#include <mutex>

#include "charts/ReportHost.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/AsciiText.h"
#include "foundation/TildePath.h"
#include "model/OBJERecord.h"

namespace kl {

namespace {

struct Pictures {
    std::mutex mutex;
    std::string folder = "~/Pictures/";
};

Pictures& pictures() {
    static Pictures instance;
    return instance;
}

bool emptyFile(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(expandTilde(path), error);
    return !error && size == 0;
}

// A section's objects as a numbered list of links after its introduction,
// or the sentence that says there are none.
void objectList(std::string& html, const std::vector<ReportController::RecordPtr>& objects,
                const char* introduction, const char* none) {
    if (objects.empty()) {
        html += none;
        return;
    }
    html += introduction;
    ReportController::addLinkList(html, objects);
}

}  // namespace

MultimediaSummaryReport::MultimediaSummaryReport(GEDCOMDocument& document, ReportHost& host)
    : ReportController(document, host) {}

void MultimediaSummaryReport::setPicturesFolder(std::string folder) {
    std::lock_guard lock(pictures().mutex);
    pictures().folder = std::move(folder);
}

std::string MultimediaSummaryReport::picturesFolder() {
    std::lock_guard lock(pictures().mutex);
    return pictures().folder;
}

bool MultimediaSummaryReport::reportPreparation() {
    setTheTitle("Summary of Multimedia Objects");
    setReport(theTitle() + " in " + host().displayName());
    objes_.clear();
    roots_ = document().multimediaRoot();
    const auto list = recordsIndex().listForType("OBJE");
    if (!list) {
        reportText() += "<p>This file has no multimedia objects</p>\n</div>";
        host().addOpenReport(report(), theTitle());
        return false;
    }
    for (const auto& record : list->order())
        if (auto object = std::dynamic_pointer_cast<OBJERecord>(record)) objes_.push_back(std::move(object));
    return true;
}

bool MultimediaSummaryReport::isMMFolder(const std::string& path) const {
    const std::string expanded = expandTilde(path);
    for (const auto& root : roots_) {
        std::string rootPath = expandTilde(root);
        while (rootPath.size() > 1 && rootPath.back() == '/') rootPath.pop_back();
        if (rootPath == expanded) return true;
    }
    return false;
}

void MultimediaSummaryReport::addPaths(FileMap& files, const std::string& basePath, const std::string& folder) const {
    std::error_code error;
    const std::filesystem::path base(expandTilde(folder));
    for (auto it = std::filesystem::directory_iterator(base, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code entryError;
        const auto status = it->symlink_status(entryError);
        if (entryError) continue;
        const std::string full = it->path().string();
        if (std::filesystem::is_symlink(status)) {
            // A link is listed when it names a file; a linked folder is never
            // entered, so a loop of links cannot trap the walk.
            if (std::filesystem::is_regular_file(it->path(), entryError))
                files[basePath + name] = abbreviateWithTilde(full);
            continue;
        }
        if (std::filesystem::is_directory(status)) {
            if (isMMFolder(full)) continue;
            if (asciiLower(it->path().extension().string()) == ".gedpkg")
                files[full] = abbreviateWithTilde(full);
            else
                addPaths(files, basePath + name + "/", full);
        } else if (std::filesystem::exists(status)) {
            files[basePath + name] = abbreviateWithTilde(full);
        }
    }
}

void MultimediaSummaryReport::addToFileList(FileMap& files, const std::vector<std::string>& roots,
                                            const std::optional<std::filesystem::path>& documentFile) const {
    if (const auto library = OBJERecord::defaultMMLibrary(documentFile)) addPaths(files, "", *library);
    for (const auto& root : roots) addPaths(files, "", root);
}

void MultimediaSummaryReport::compileReport() {
    std::string& html = reportText();
    html += "<p>The file <b>" + htmlText(host().displayName()) + "</b> is linked to " + std::to_string(objes_.size()) +
            " multimedia objects.";
    html += " This report summarizes the use of <a href='#libs'>multimedia libraries</a>,";
    html += " lists the multimedia objects <a href='#nonlib'>not in any library folder</a>,";
    html += " and lists the objects with <a href='#notfound'>invalid file links</a>.</p>";
    addContents(html,
                {"Multimedia Libraries", "Multimedia Objects not in a Library", "Multimedia Objects not Downloaded",
                 "Missing Multimedia Objects", "Unlinked Files in Multimedia Locations"},
                {"libs", "nonlib", "incloud", "notfound", "unlinked"});

    const auto documentFile = document().fileURL();
    FileMap files;
    addToFileList(files, roots_, documentFile);
    std::map<std::string, int> rootCounts;
    std::vector<std::shared_ptr<OBJERecord>> outside;
    std::vector<RecordPtr> notDownloaded, missing;
    int urls = 0;
    for (const auto& object : objes_) {
        if (!stillRunning()) break;
        bool isURL = false;
        const std::string name = object->mmFileName(&isURL);
        if (isURL || name.empty()) {
            ++urls;
            continue;
        }
        files.erase(name);
        const auto resolved = OBJERecord::multimediaFile(name, roots_, documentFile);
        if (resolved && resolved->root) {
            ++rootCounts[*resolved->root];
            if (emptyFile(resolved->fullPath())) notDownloaded.push_back(object);
        } else if (resolved) {
            outside.push_back(object);
            if (emptyFile(resolved->fullPath())) notDownloaded.push_back(object);
        } else {
            missing.push_back(object);
        }
        incrementDone();
    }

    addSection(html, "Multimedia Libraries", "libs");
    html += "<p>The following table lists the number of multimedia objects in each multimedia library folder.";
    html += " You might consider deleting or consolidating libraries containing zero or few objects.</p>";
    std::vector<std::vector<std::string>> rows{{"Library Path", "Objects"}};
    int inRoots = 0;
    for (const auto& root : roots_) {
        const auto found = rootCounts.find(root);
        const int count = found == rootCounts.end() ? 0 : found->second;
        inRoots += count;
        rows.push_back({htmlText(root), std::to_string(count)});
    }
    int counted = 0;
    for (const auto& [root, count] : rootCounts) counted += count;
    if (counted > inRoots) rows.push_back({"Default library relative to file", std::to_string(counted - inRoots)});
    if (urls > 0) rows.push_back({"Objects as URL links", std::to_string(urls)});
    addTable(html, rows);

    addSection(html, "Multimedia Objects not in a Library", "nonlib");
    if (!outside.empty()) {
        html += "<p>The following multimedia objects are linked using a full path rather then being in ";
        html += "a multimedia library. For greater portability it is recommended that you open each object, ";
        html += "select the &quot;Copy Multimedia Object As...&quot; command, ";
        html += "and choose to move a copy of the file to a multimedia library folder.";
        html += "</p>\n<ol>\n";
        for (const auto& object : outside) {
            html += "<li>";
            const auto image = object->getMMImageInFile(false);
            if (image.isImage && image.fullPath)
                html += "<img src='" + fileAddress(*image.fullPath) +
                        "' align='center' height='48' alt='image'/>&nbsp;&nbsp;";
            addLink(html, *object);
            html += "</li>\n";
        }
        html += "</ol>\n";
    } else {
        html += "<p>All multimedia objects in this file are stored in a multimedia library folder.</p>";
    }

    addSection(html, "Multimedia Objects not Downloaded", "incloud");
    objectList(html, notDownloaded,
               "<p>The following multimedia objects link to an empty file. The objects may be in the cloud and should "
               "be downloaded to make them accessible for viewing.</p>",
               "<p>All valid links to multimedia objects are accessible for viewing.</p>");
    addSection(html, "Missing Multimedia Objects", "notfound");
    objectList(html, missing,
               "<p>The following multimedia objects have invalid file links. You should open each one, select the "
               "&quot;Attach&rarr;Multimedia...&quot; menu command, and link to an existing file.</p>",
               "<p>All links to multimedia objects in this file are valid.</p>");

    addSection(html, "Unlinked Files in Multimedia Locations", "unlinked");
    if (files.empty()) {
        html += "<p>No unlinked files where found in multimedia locations for this file.</p>";
    } else {
        html += "<p>The following files are located in multimedia locations for this file ";
        html += "but they are not linked to any multimedia record. ";
        html += "The list may include files in a multimedia library folder that are incorrectly linked ";
        html += "by path relative the main document's folder rather than relative to the library folder. ";
        html += "The files are listed by full path where ~ means relative to your home directory.</p>";
        html += "<ol>\n";
        const std::string picturesPrefix = picturesFolder();
        const std::string ownFile = documentFile ? documentFile->string() : std::string();
        bool listed = false, skippedPictures = false, skippedOwn = false;
        for (const auto& [key, value] : files) {
            if (value.size() > picturesPrefix.size() && value.compare(0, picturesPrefix.size(), picturesPrefix) == 0) {
                if (!skippedPictures) html += "<li>Unlinked files in home 'Pictures' folder were skipped</li>\n";
                skippedPictures = listed = true;
                continue;
            }
            if (!skippedOwn && !ownFile.empty() && (key == ownFile || expandTilde(value) == ownFile)) {
                skippedOwn = true;
                continue;
            }
            html += "<li>" + htmlText(value) + "</li>\n";
            listed = true;
        }
        if (!listed) html += "<li>None found</li>";
        html += "</ol>\n";
    }
    html += "</div>";
}

}  // namespace kl
