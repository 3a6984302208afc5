// Sharing the result as a card and caption, and sharing the kept photos.
#include "app/AppModel.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "engine/core/Log.h"

namespace quorlix {

QList<QUrl> AppModel::shareResultItems() {
    if (!result_)
        return {};
    const auto card = ShareCard::render(*result_, shareRenderer_);
    if (!card)
        return {};
    desktop_->setClipboardText(ShareCard::caption(*result_));
    showToast(L::share::copied(), false);
    log::info(log::Category::funnel, "share_opened");
    return {urlFromPath(*card)};
}

QList<QUrl> AppModel::shareKeepersItems() {
    const QList<QUrl> urls = keptPhotoURLs();
    log::info(log::Category::funnel, "share_keepers n=" + std::to_string(urls.size()));
    return urls;
}

} // namespace quorlix
