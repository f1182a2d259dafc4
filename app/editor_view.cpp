// What the window shows of the document besides its text: the status bar (caret, zoom, line breaks,
// encoding), the text's zoom, and Go To Line. The caret and the lines are asked of the box's own index.
#include <algorithm>
#include <string>

#include "app/editor.h"
#include "base/text.h"
#include "protect/document_kind.h"

namespace {

Text Decimal(int64_t n) {
    const std::string digits = std::to_string(n);
    return Text(digits.begin(), digits.end());
}

Text LineBreaksName(base::LineBreaks breaks) {
    switch (breaks) {
        case base::LineBreaks::CrLf:
            return u"Windows (CRLF)";
        case base::LineBreaks::Lf:
            return u"Unix (LF)";
        case base::LineBreaks::Cr:
            return u"Macintosh (CR)";
        case base::LineBreaks::Mixed:
            return u"Mixed";
    }
    return {};
}

// A protected document is kept in the code page and a sealed one in UTF-8, whatever the format says.
Text EncodingShown(protect::DocumentKind kind, base::Encoding encoding) {
    switch (kind) {
        case protect::DocumentKind::Masked:
            return base::EncodingName(base::Encoding::Ansi);
        case protect::DocumentKind::Sealed:
            return base::EncodingName(base::Encoding::Utf8);
        case protect::DocumentKind::Plain:
            break;
    }
    return base::EncodingName(encoding);
}

// The line typed into Go To Line: digits alone (blanks around them allowed), from 1 to count.
bool ParseLineNumber(const Text& typed, int32_t count, int32_t& line) {
    const Text t = base::Trim(typed);
    if (t.empty() || t.size() > 10) return false;
    int64_t n = 0;
    for (char16_t c : t) {
        if (c < u'0' || c > u'9') return false;
        n = n * 10 + (c - u'0');
    }
    if (n < 1 || n > count) return false;
    line = static_cast<int32_t>(n);
    return true;
}

// The widths of the parts right of the caret's, in twips: zoom, line breaks, encoding.
constexpr double kZoomPart = 900, kLineBreaksPart = 1800, kEncodingPart = 1800;

}  // namespace

void Editor::UpdateStatus() {
    if (!m_StatusBarOn || !m_StatusLaidOut) return;
    TextBox& box = ActiveEditor();
    const int32_t caret = box.Caret();
    const int32_t line = box.LineOf(caret);
    const int32_t column = caret - std::max(box.LineStart(line), 0);
    const Text texts[4] = {u"Ln " + Decimal(int64_t{line} + 1) + u", Col " + Decimal(int64_t{column} + 1),
                           Decimal(m_Zoom) + u"%", LineBreaksName(m_Document.Format().breaks),
                           EncodingShown(m_Document.Kind(), m_Document.Format().encoding)};
    for (int part = 0; part < 4; ++part) {
        if (texts[part] == m_StatusTexts[part]) continue;
        m_StatusTexts[part] = texts[part];
        m_Controls.statusBar->SetText(part, texts[part]);
    }
}

void Editor::ShowStatusBar(bool shown) {
    m_StatusBarOn = shown;
    m_Controls.statusBarItem->SetChecked(shown);
    m_Controls.statusBar->SetVisible(shown);
    Form_Resize();
    UpdateStatus();
}

// The bar's parts: the caret's takes what the others leave, they keep their widths at the right.
void Editor::LayOutStatusBar(double width) {
    m_Controls.statusBar->Fit();
    const double encoding = std::max(0.0, width - kEncodingPart);
    const double lineBreaks = std::max(0.0, encoding - kLineBreaksPart);
    const double zoom = std::max(0.0, lineBreaks - kZoomPart);
    m_Controls.statusBar->SetParts({zoom, lineBreaks, encoding, -1});
    // Its parts are new: the bar holds no text in them yet.
    if (!m_StatusLaidOut) {
        m_StatusLaidOut = true;
        UpdateStatus();
    }
}

void Editor::SetZoom(int percent) {
    m_Zoom = std::clamp(percent, kZoomLeast, kZoomMost);
    m_Controls.textFont->SetZoom(m_Zoom);
    UpdateStatus();
}

void Editor::OnSelectionChange(int index) {
    if (index != m_ActiveEditor) return;
    UpdateStatus();
    m_History.CaretAt(ActiveEditor().Caret());  // typing elsewhere is a step of its own
}

void Editor::OnTextWheel(int, int delta, int shift) {
    if ((shift & kCtrlMask) == 0) return;
    // A fine wheel reports parts of a notch: they add up to a step.
    m_WheelDelta += delta;
    const int notches = m_WheelDelta / kWheelDelta;
    m_WheelDelta -= notches * kWheelDelta;
    if (notches != 0) SetZoom(m_Zoom + notches * kZoomStep);
}

void Editor::GoToLine() {
    TextBox& box = ActiveEditor();
    const int32_t count = std::max(box.LineCount(), 1);
    const Text range = u"1 - " + Decimal(count);
    int32_t chosen = 0;
    const auto accept = [&](const Text& typed) {
        if (ParseLineNumber(typed, count, chosen)) return true;
        m_Platform.prompts.Message(u"The line number must be between 1 and " + Decimal(count) + u".",
                                   MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    };
    const Text current = Decimal(int64_t{box.LineOf(box.Caret())} + 1);
    if (!m_Platform.prompts.AskLine(u"Line number (" + range + u"):", current, accept)) return;
    box.SetSel(std::max(box.LineStart(chosen - 1), 0), 0);  // the box scrolls its caret into view
    UpdateStatus();
}
