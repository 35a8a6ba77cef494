#include "index/ui/ImagePasteboard.h"

#include <QMimeData>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <map>

#include "model/OBJERecord.h"

namespace kl::ImagePasteboard {

namespace {

constexpr const char* kMozillaURL = "text/x-moz-url";

// Address -> title from a browser's link drag.
std::map<std::string, std::string> webTitles(const QMimeData* data) {
    std::map<std::string, std::string> titles;
    if (!data->hasFormat(kMozillaURL)) return titles;
    const QByteArray bytes = data->data(kMozillaURL);
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    const QStringList lines = text.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2)
        titles[lines[i].trimmed().toStdString()] = lines[i + 1].trimmed().toStdString();
    return titles;
}

}  // namespace

bool containsImagePboard(const QMimeData* data) { return data && (data->hasUrls() || data->hasImage()); }

std::vector<Dictionary> decodeImagePboard(const QMimeData* data) {
    std::vector<Dictionary> items;
    if (!data || !data->hasUrls()) return items;
    const QList<QUrl> urls = data->urls();
    // Any web address makes the drop one of addresses with titles, in
    // which a file's address still names the file.
    const bool web = std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return !url.isLocalFile(); });
    const auto titles = webTitles(data);
    for (const QUrl& url : urls) {
        if (!web) {
            items.push_back(OBJERecord::droppedImageInfo(url.toLocalFile().toStdString(), std::nullopt));
            continue;
        }
        const std::string address = url.toString().toStdString();
        const auto title = titles.find(address);
        items.push_back(OBJERecord::droppedImageInfo(address, title == titles.end() ? address : title->second));
    }
    return items;
}

}  // namespace kl::ImagePasteboard
