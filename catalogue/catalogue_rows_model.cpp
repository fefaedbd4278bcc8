#include "catalogue/catalogue_rows_model.h"

#include "catalogue/icon_bitmap_cache.h"
#include "res/window_resources.h"
#include "storage/catalogue_list.h"

namespace vaskel {
namespace {

// Past this many rows asked about, RowsRewritten resets the model instead.
constexpr std::size_t kAskedRowsLimit = 1024;

}  // namespace

CatalogueRowsModel::CatalogueRowsModel(const CatalogueList& rows, IconBitmapCache& icons)
    : wxDataViewVirtualListModel(static_cast<unsigned int>(rows.GetItemCount())),
      rows_(rows),
      icons_(icons) {}

wxString CatalogueRowsModel::CellText(unsigned int row, unsigned int column) const {
  // The tree view may still ask about rows the store has just let go of.
  if (row >= static_cast<unsigned int>(rows_.GetItemCount())) return wxString();
  return res::ToWx(rows_.GetItemText(static_cast<int>(row), static_cast<int>(column)));
}

void CatalogueRowsModel::GetValueByRow(wxVariant& value, unsigned int row,
                                       unsigned int column) const {
  NoteAsked(row);
  const wxString text = CellText(row, column);
  if (column != kNameColumn) {
    value = text;
    return;
  }
  const bool exists = row < static_cast<unsigned int>(rows_.GetItemCount());
  const int icon = exists ? rows_.GetItemImage(static_cast<int>(row)) : -1;
  value << wxDataViewIconText(text, exists ? Icon(icon) : wxBitmapBundle());
}

void CatalogueRowsModel::NoteAsked(unsigned int row) const {
  if (row >= GetCount()) return;
  if (asked_.size() < GetCount()) asked_.resize(GetCount());
  if (asked_[row]) return;
  asked_[row] = true;
  asked_rows_.push_back(row);
}

void CatalogueRowsModel::ResetRows(unsigned int count) {
  asked_.clear();
  asked_rows_.clear();
  Reset(count);
}

void CatalogueRowsModel::RowsRewritten() {
  if (asked_rows_.size() > kAskedRowsLimit) {
    ResetRows(GetCount());
    return;
  }
  // Telling a row makes the tree view ask for it again, which notes nothing new.
  const std::vector<unsigned int> asked = asked_rows_;
  for (const unsigned int row : asked) RowChanged(row);
}

const wxBitmapBundle& CatalogueRowsModel::Icon(int icon_index) const {
  const int position = icons_.ImagePosition(icon_index);
  const wxImageList& list = *icons_.ImageList();
  if (bundles_.size() < static_cast<std::size_t>(list.GetImageCount())) {
    bundles_.resize(static_cast<std::size_t>(list.GetImageCount()));
  }
  wxBitmapBundle& bundle = bundles_[static_cast<std::size_t>(position)];
  if (!bundle.IsOk()) bundle = wxBitmapBundle(list.GetBitmap(position));
  return bundle;
}

}  // namespace vaskel
