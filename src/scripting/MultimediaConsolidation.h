#pragma once
// MultimediaConsolidation: copies every multimedia file of a database into
// one destination folder, keeping the records' relative subfolders or not,
// and optionally relinks the records to the copies, after which the
// destination becomes the database's only multimedia root folder. This is
// the consolidation a script asks for; it shows no panel and no alert and
// answers what went wrong instead.
//
// Thread: run from a script's thread, which copies the files; the records
// and root folders are read and changed on the main thread while it waits.
#include <optional>
#include <string>

namespace kl {

class DocumentScripting;

class MultimediaConsolidation {
public:
    // nullopt when the run finished, else the text that tells why the
    // destination could not be made or where copying stopped. Files copied
    // and records relinked before a failure stay (the relinks undoable).
    static std::optional<std::string> scriptConsolidation(DocumentScripting& document, const std::string& destination,
                                                          bool keepSubfolders, bool relink);

    // Makes each folder of `relative` below `start` ("/" ended), a file in
    // the way giving way to a free folder name; answers the deepest folder
    // with a final "/". Raises "KLFolderCreateError" when one cannot be made.
    static std::string createFoldersFrom(const std::string& start, const std::string& relative);
    // The path with "_1", "_2", ... put before its extension (after the
    // whole path for a folder): the first that names nothing, or for a
    // folder also the first that is a folder already.
    static std::string unusedPathFor(const std::string& path, bool folder);
};

}  // namespace kl
