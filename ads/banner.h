// The banner list from the site and the banner page made from it: parsing, the checks that keep a hostile
// list harmless, and the page fragment of banner groups that fills the template's marker.
#pragma once
#include <vector>

#include "base/text.h"

namespace ads {

constexpr char16_t kBannerMarker[] = u"<div></div>";
constexpr size_t kBannerGroupSize = 6;
constexpr size_t kBannerFields = 5;
constexpr size_t kMostBanners = 1000;  // records beyond this are ignored

// One usable record of the list; the fields as the site sent them.
struct BannerRecord {
    Text id, image, size, link, title;
};

// The leading numeric part of a text (sign, digits, decimals; blanks before it), 0 when there is none.
double LeadingNumber(const Text& text);

// An image name is used as a file name below "banner\": nothing that could leave that folder or name a
// device, and nothing empty.
bool UsableImageName(const Text& name);
// Safe inside a single- or double-quoted HTML attribute.
Text HtmlAttribute(const Text& text);
// Only http:// and https:// links reach the page; anything else (javascript:, data:, ...) becomes "#".
Text SafeLink(const Text& link);
// A page's URL that may go to the user's default browser: http or https with a host, and no blank, quote or
// control character that could break out of the browser's command line.
bool OpensInBrowser(const Text& url);

// The records worth a banner: non-empty, with five fields and a usable image name, in list order; the first
// kMostBanners of them.
std::vector<BannerRecord> UsableRecords(const Text& list);

// The banner groups that replace the template's marker.
Text BannerEntry(const BannerRecord& r);
Text BannerGroups(const std::vector<BannerRecord>& records);

}  // namespace ads
