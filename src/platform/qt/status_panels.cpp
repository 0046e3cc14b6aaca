// the status bar on Qt; see status_panels.h.
#include "platform/qt/status_panels.h"

#include <QLabel>

#include "platform/qt/display_text.h"
#include "ui/form_definition.h"

namespace kelvar::qt {

StatusPanels::StatusPanels(QStatusBar* bar) {
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    const form::Panel& spec = form::kPanels[i];
    auto* label = new QLabel(bar);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(spec.min_width);
    if (spec.width > 0) label->setFixedWidth(spec.width);
    bar->addWidget(label, spec.width > 0 ? 0 : 1);
    panels_[i] = label;
    Name(label);
  }
}

// A panel is announced by its text; an empty one by a word that says so.
void StatusPanels::Name(QLabel* label) {
  label->setAccessibleName(label->text().isEmpty() ? QStringLiteral("空白") : QString());
}

void StatusPanels::SetPanelText(int panel, const std::string& text) {
  ++writes_;
  QLabel* label = Panel(panel);
  if (!label) return;
  label->setText(DisplayText(text));
  Name(label);
}

QLabel* StatusPanels::Panel(int panel) const {
  return panel >= 1 && panel <= 3 ? panels_[static_cast<std::size_t>(panel - 1)] : nullptr;
}

}  // namespace kelvar::qt
