#include "present/listing_presenter.h"

#include <memory>

namespace cordshift {
namespace {

// Says that the files are being read, and asks the display whether to stop.
class ReadingGuide : public ListingObserver {
 public:
  ReadingGuide(Display& display, const ListingTexts& texts)
      : display_(display), texts_(texts) {}
  void ReadingStarted() override { display_.ShowGuide(texts_.listing_text); }
  bool StopRequested() const override { return display_.StopRequested(); }

 private:
  Display& display_;
  const ListingTexts& texts_;
};

}  // namespace

Side SideOfList(ListId list, Direction direction) {
  return list == ListId::kSource ? SourceSideOf(direction)
                                 : DestinationSideOf(direction);
}

ListingOutcome ShowFolderListing(Display& display, ListId list, Side side,
                                 const std::string& folder,
                                 WiringWorkspace& workspace) {
  const ListingTexts& texts = ListingTextsOf(list, side);
  ReadingGuide guide(display, texts);
  const FolderListing listing = ListFolder(folder, side, workspace, guide);
  switch (listing.outcome) {
    case ListingOutcome::kEnumerationFailed:
      // The list keeps what it showed.
      display.ShowMessage(folder + texts.enumeration_failed_suffix,
                          MessageIcon::kExclamation);
      break;
    case ListingOutcome::kEmpty:
    case ListingOutcome::kNoSuchFolder:
      display.ShowList(list, std::make_shared<const ListRows>());
      display.ShowGuide(texts.empty_text);
      break;
    case ListingOutcome::kListed:
    case ListingOutcome::kReaderFailed:
      display.ShowList(
          list, std::make_shared<const ListRows>(
                    RowStyle::kListing,
                    ListingRows(listing.files, listing.reading.files_read)));
      if (listing.reading.fault) display.ReportFile(*listing.reading.fault);
      display.ShowGuide(listing.outcome == ListingOutcome::kListed
                            ? texts.listed_text
                            : texts.failed_text);
      break;
  }
  return listing.outcome;
}

}  // namespace cordshift
