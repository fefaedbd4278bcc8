#include "res/label_fit.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/translation.h>
#include <wx/window.h>

#include <algorithm>
#include <vector>

namespace vaskel::res {
namespace {

bool ShowsOneLineOfText(wxWindow* control) {
  const bool labelled = dynamic_cast<wxButton*>(control) != nullptr ||
                        dynamic_cast<wxCheckBox*>(control) != nullptr ||
                        dynamic_cast<wxRadioButton*>(control) != nullptr ||
                        dynamic_cast<wxStaticText*>(control) != nullptr;
  if (!labelled || control->GetLabel().empty() || control->GetLabel().Contains('\n')) return false;
  // A text area several lines high (the tip) wraps its text instead.
  return control->GetSize().y < 2 * control->GetCharHeight() + 4;
}

bool OverlapVertically(const wxRect& a, const wxRect& b) {
  return a.GetTop() <= b.GetBottom() && b.GetTop() <= a.GetBottom();
}

}  // namespace

void GrowControlsToFitTexts(wxWindow& window) {
  if (wxTranslations::Get() == nullptr) return;
  const wxSize client = window.GetClientSize();
  int right_margin = client.x;
  int bottom_margin = client.y;
  std::vector<wxWindow*> controls;
  std::vector<wxStaticBox*> boxes;
  std::vector<wxRect> box_contents;
  for (wxWindow* child : window.GetChildren()) {
    if (!child->IsShown()) continue;
    right_margin = std::min(right_margin, client.x - child->GetRect().GetRight() - 1);
    bottom_margin = std::min(bottom_margin, client.y - child->GetRect().GetBottom() - 1);
    if (auto* box = dynamic_cast<wxStaticBox*>(child)) {
      boxes.push_back(box);
    } else {
      controls.push_back(child);
    }
  }
  std::sort(controls.begin(), controls.end(),
            [](wxWindow* a, wxWindow* b) { return a->GetPosition().x < b->GetPosition().x; });
  for (wxWindow* control : controls) {
    if (!ShowsOneLineOfText(control)) continue;
    const wxRect before = control->GetRect();
    const wxSize best = control->GetBestSize();
    const int wider = std::max(0, best.x - before.width);
    const int taller = std::max(0, best.y - before.height);
    if (wider == 0 && taller == 0) continue;
    control->SetSize(before.width + wider, before.height + taller);
    for (wxWindow* other : controls) {
      const wxRect at = other->GetRect();
      if (other != control && at.x > before.GetRight() && OverlapVertically(at, before))
        other->Move(at.x + wider, at.y);
    }
    for (wxStaticBox* box : boxes) {
      const wxRect around = box->GetRect();
      if (around.Contains(before)) {
        box->SetSize(std::max(around.width, control->GetRect().GetRight() - around.x + 9),
                     around.height);
      }
    }
  }
  wxSize needed = client;
  for (wxWindow* child : window.GetChildren()) {
    if (!child->IsShown()) continue;
    needed.x = std::max(needed.x, child->GetRect().GetRight() + 1 + std::max(right_margin, 0));
    needed.y = std::max(needed.y, child->GetRect().GetBottom() + 1 + std::max(bottom_margin, 0));
  }
  if (needed != client) window.SetClientSize(needed);
}

}  // namespace vaskel::res
