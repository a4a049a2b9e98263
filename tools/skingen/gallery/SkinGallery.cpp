// Shows the skin framework's windows on a skin scheme, for a person to look
// at: a main window (caption buttons, transport and toggle buttons, progress
// and volume sliders, beat cells), a play-list frame with its scroll bar and
// buttons, and a score frame with all three caption buttons and a measure
// slider. With --shot FILE it saves the screen area of the windows as PNG and
// exits; otherwise it runs until the main window is closed.
//
//   skin_gallery.exe [--skin FOLDER] [--shot FILE.png]
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/CSettings.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"
#include "ui/CSkinManager.h"
#include "ui/CSkinSlider.h"
#include "ui/CSkinWnd.h"
#include "ui/CVolumeSlider.h"
#include "ui/CaptionElements.h"
#include "ui/CProfileHelper.h"
#include "ui/GdiplusInclude.h"
#include "ui/GdiplusSession.h"
#include "ui/PngSnapshot.h"

namespace {

CSkinImage* Img(unsigned short id) { return GetSkinManager()->GetSkinImage(id); }

// A skinned frame that hosts skin buttons and a few drawn extras.
class GalleryFrame : public CSkinWnd, public ISliderSink {
 public:
  struct Frame {
    unsigned short left, right, top, bottom, topLeft, topRight, bottomLeft, bottomRight, title, titleOff;
  };
  GalleryFrame(const Frame& f, int x, int y, int w, int h, COLORREF background) {
    CSkinFrameImages* i = GetFrameImages();
    i->SetLeftBorder(Img(f.left));
    i->SetRightBorder(Img(f.right));
    i->SetTopBorder(Img(f.top));
    i->SetBottomBorder(Img(f.bottom));
    i->SetTopLeft(Img(f.topLeft));
    i->SetTopRight(Img(f.topRight));
    i->SetBottomLeft(Img(f.bottomLeft));
    i->SetBottomRight(Img(f.bottomRight));
    i->SetTitle(Img(f.title));
    i->SetTitleInactive(Img(f.titleOff));
    CSkinFrameLayout* l = GetLayout();
    l->SetPos(x, y);
    l->SetWidth(w);
    l->SetHeight(h);
    l->SetMinWidth(GetMinFrameWidth());
    l->SetMinHeight(GetMinFrameHeight());
    l->SetCaptionHeight(GetCaptionHeight());
    l->SetDrawFlag(true);
    SetBkColor(background);
  }
  ~GalleryFrame() override {
    for (auto& b : m_buttons) b.reset();
  }
  template <class T = CSkinCmdButton>
  T* AddButton(unsigned short image, int id, int x, int y, const char* tip, bool toggle = false) {
    auto* b = new T(toggle);
    m_buttons.emplace_back(b);
    CreateSkinButton(b, m_hWnd, image, id, tip != nullptr, tip, nullptr);
    b->MoveTo(x, y);
    return b;
  }
  void OnDrawItem(WPARAM wParam, LPARAM lParam) override {
    auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    for (auto& b : m_buttons)
      if (b->GetHwnd() == item->hwndItem) b->DrawItem(item);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SKIN_CLOSE) {
      ::PostQuitMessage(0);
      return 0;
    }
    if (m_volume && (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)) {
      if (message == WM_MOUSEMOVE) m_volume->OnMouseMove(wParam, lParam);
      if (message == WM_LBUTTONDOWN) m_volume->OnLButtonDown(wParam, lParam);
      if (message == WM_LBUTTONUP) m_volume->OnLButtonUp(wParam, lParam);
    }
    return CSkinWnd::WindowProc(message, wParam, lParam);
  }
  void DrawClient(Gdiplus::Graphics* g) override {
    CSkinWnd::DrawClient(g);
    if (m_volume) m_volume->Draw(g);
    if (m_beats) {
      // A bar of four with the second beat sounding.
      const unsigned short cells[] = {kSkinHeavyBeatNormal, kSkinLightBeatActive, kSkinMiddleBeatNormal,
                                      kSkinLightBeatNormal};
      int x = 145;
      for (unsigned short id : cells) {
        DrawSkinImage(g, Img(id), x, 79);
        x += Img(id)->GetWidth();
      }
    }
  }
  // The sliders' owner: nothing to play here.
  void OnSliderTrack(int, int) override {}
  void OnSliderSet(int) override {}
  int GetSliderValue() override { return -1; }
  int GetSliderBackValue() override { return -1; }

  std::unique_ptr<CVolumeSlider> m_volume;
  bool m_beats = false;
  std::vector<std::unique_ptr<CSkinButton>> m_buttons;
};

std::unique_ptr<GalleryFrame> MakeMainWindow() {
  auto w = std::make_unique<GalleryFrame>(
      GalleryFrame::Frame{kSkinMainWndLeftBorder, kSkinMainWndRightBorder, kSkinMainWndTopBorder,
                          kSkinMainWndBottomBorder, kSkinMainWndTopLeft, kSkinMainWndTopRight,
                          kSkinMainWndBottomLeft, kSkinMainWndBottomRight, kSkinMainWndTitleActive,
                          kSkinMainWndTitleInActive},
      20, 20, 260, 150, RGB(0x1B, 0x20, 0x2A));
  w->SetCaptionStyle(kCaptionCloseMin);
  w->SetCaptionButton(Img(kSkinMainWndCloseBtn), kCaptionBtnClose, true, "Close", nullptr);
  w->SetCaptionButton(Img(kSkinMainWndMinBtn), kCaptionBtnMin, true, "Minimize", nullptr);
  w->SetIconImage(Img(kSkinMainWndIcon));
  w->m_beats = true;
  w->m_volume = std::make_unique<CVolumeSlider>();
  w->m_volume->SetTrackImage(Img(kSkinVolume));
  w->m_volume->SetThumbImage(Img(kSkinVolumeBtn));
  w->m_volume->SetPosition(164, 131);
  w->m_volume->GetThumb()->MoveTo(164, 133);
  if (w->Create(nullptr, WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, CS_DBLCLKS, nullptr) != 0) return nullptr;
  w->m_volume->SetOwner(w->m_hWnd);
  w->m_volume->SetToolTip(w->m_hWnd, true, "Volume");
  w->m_volume->SetValue(200);

  int fw = Img(kSkinPlay)->GetWidth() / 4, x = 23;
  w->AddButton(kSkinToBegin, 100, x, 109, "Previous");
  w->AddButton(kSkinPlay, 101, x + fw, 109, "Play");
  w->AddButton(kSkinStop, 102, x + 2 * fw, 109, "Stop");
  w->AddButton(kSkinToEnd, 103, x + 3 * fw, 109, "Next");
  w->AddButton(kSkinPlayMode, 104, x + 5 * fw + 8, 109, "Play mode", true)->SetCheck(true);
  w->AddButton(kSkinOpen, 105, x + 6 * fw + 6, 109, "Add Songs");
  const int th = Img(kSkinShowStaff)->GetHeight(), tw = Img(kSkinShowStaff)->GetWidth() / 4;
  w->AddButton(kSkinShowStaff, 110, 20, 150 - th - 5, "Score", true)->SetCheck(true);
  w->AddButton(kSkinShowLyric, 111, 20 + tw, 150 - th - 5, "Lyrics", true)->SetCheck(true);
  w->AddButton(kSkinShowSonglist, 112, 20 + 2 * tw, 150 - th - 5, "Play list", true);
  w->AddButton(kSkinShowSongMaker, 113, 20 + 3 * tw, 150 - th - 5, "Song maker", true);
  // One button as the mouse would leave it: hovered.
  ::SendMessageA(w->m_buttons[1]->GetHwnd(), WM_MOUSEHOVER, 0, 0);
  return w;
}

// A skinned dialog with the three dialog buttons, the middle one hovered.
class GalleryDialog : public CSkinDialog {
 public:
  GalleryDialog() : CSkinDialog(300) {}
  BOOL OnInitDialog() override {
    CSkinDialog::OnInitDialog();
    const unsigned short ids[] = {kSkinOkBtn, kSkinCancelBtn, kSkinAdvancedBtn};
    const int width = GetLayout()->GetWidth(), height = GetLayout()->GetHeight();
    const int bw = Img(kSkinOkBtn)->GetWidth() / 4, bh = Img(kSkinOkBtn)->GetHeight();
    for (int i = 0; i < 3; ++i) {
      CreateSkinButton(&m_buttons[i], GetDialogHwnd(), ids[i], IDOK + i, false, nullptr, nullptr);
      m_buttons[i].MoveTo(width - 3 * (bw + 8) - 4 + i * (bw + 8), height - bh - 10);
    }
    ::SendMessageA(m_buttons[1].GetHwnd(), WM_MOUSEHOVER, 0, 0);
    return TRUE;
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_DRAWITEM && wParam >= IDOK && wParam < IDOK + 3) {
      m_buttons[wParam - IDOK].DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    }
    if (message == WM_CTLCOLORSTATIC) {
      // Light text straight on the skin's background.
      ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0xE9, 0xEC, 0xF1));
      ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetBkBrush());
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
  }
  CSkinCmdButton m_buttons[3];
};

struct Gallery {
  std::unique_ptr<GalleryDialog> dialog;
  std::unique_ptr<GalleryFrame> main, playlist, score;
  std::unique_ptr<CSkinSlider> progress, measure;
  std::unique_ptr<CSkinScrollBar> listBar, scoreBar;
};

template <class T>
std::unique_ptr<T> MakeRange(GalleryFrame* owner, bool buttons, unsigned short back, unsigned short forward,
                             unsigned short thumb, unsigned short track, int x, int y, int length, int pos) {
  auto s = std::make_unique<T>();
  if (buttons) s->CreateButtons();
  s->SetImages(Img(back), Img(forward), Img(thumb), Img(track));
  s->SetOwner(owner);
  s->SetSink(owner);
  s->Create();
  s->SetRange(100, 0);
  s->MoveWindow(x, y, length);
  s->SetPos(pos);
  s->Show(true);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  std::string skin, shot;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--skin")
      skin = argv[++i];
    else if (std::string(argv[i]) == "--shot")
      shot = argv[++i];
  }
  if (skin.empty()) {
    char folder[MAX_PATH];
    GetAppFolder(folder, sizeof(folder));
    skin = std::string(folder) + "\\Skins\\Default";
  }
  GdiplusSession gdiplus;
  CSkinManager* skins = GetSkinManager();
  skins->SetSchemeFolder(skin);
  if (skins->LoadSkinScheme() != 0) {
    fprintf(stderr, "skin_gallery: cannot list the skin folder \"%s\"\n", skin.c_str());
    return 1;
  }
  const std::string problems = skins->DescribeProblems();
  if (!problems.empty()) fprintf(stderr, "skin_gallery: %s\n", problems.c_str());

  Gallery g;
  g.main = MakeMainWindow();
  if (!g.main) return 1;
  g.progress = MakeRange<CSkinSlider>(g.main.get(), false, 0, 0, kSkinMainWndHumb, kSkinMainWndScrollBk, 10,
                                      99, 238, 37);

  g.playlist = std::make_unique<GalleryFrame>(
      GalleryFrame::Frame{kSkinPlayListLeftBorder, kSkinPlayListRightBorder, kSkinPlayListTopBorder,
                          kSkinPlayListBottomBorder, kSkinPlayListTopLeft, kSkinPlayListTopRight,
                          kSkinPlayListBottomLeft, kSkinPlayListBottomRight, kSkinPlaylistTitleActive,
                          kSkinPlaylistTitleInActive},
      20, 175, 260, 230, RGB(0x1B, 0x20, 0x2A));
  g.playlist->SetCaptionStyle(kCaptionClose);
  g.playlist->SetCaptionButton(Img(kSkinPlayListCloseBtn), kCaptionBtnClose, true, "Close", nullptr);
  g.playlist->SetIconImage(Img(kSkinPlayListIcon));
  g.playlist->Create(nullptr, WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, CS_DBLCLKS, nullptr);
  const int bh = Img(kSkinPlayListBottomBorder)->GetHeight();
  int bx = 10;
  for (unsigned short id : {kSkinPlayListAddSongsBtn, kSkinPlayListRemoveSongsBtn,
                            kSkinPlayListImportSongListBtn, kSkinPlayListExportSongListBtn}) {
    g.playlist->AddButton(id, 200 + id, bx, 230 - bh, "Play list");
    bx += Img(id)->GetWidth() / 4;
  }
  const int vw = Img(kSkinVScrollBk)->GetWidth();
  const int top = Img(kSkinPlayListTopBorder)->GetHeight();
  g.listBar =
      MakeRange<CSkinScrollBar>(g.playlist.get(), true, kSkinVScrollTBtn, kSkinVScrollBBtn, kSkinVScrollHumb,
                                kSkinVScrollBk, 260 - 4 - 4 - vw, top + 4, 230 - top - bh - 8, 20);

  g.score = std::make_unique<GalleryFrame>(
      GalleryFrame::Frame{kSkinScoreLeftBorder, kSkinScoreRightBorder, kSkinScoreTopBorder,
                          kSkinScoreBottomBorder, kSkinScoreTopLeft, kSkinScoreTopRight, kSkinScoreBottomLeft,
                          kSkinScoreBottomRight, kSkinScoreTitleActive, kSkinScoreTitleInActive},
      300, 20, 420, 250, RGB(0xFB, 0xF8, 0xF1));
  g.score->SetCaptionStyle(kCaptionCloseMinMax);
  g.score->SetCaptionButton(Img(kSkinScoreCloseBtn), kCaptionBtnClose, true, "Close", nullptr);
  g.score->SetCaptionButton(Img(kSkinScoreMaxBtn), kCaptionBtnMax, true, "Maximize", "Restore Down");
  g.score->SetCaptionButton(Img(kSkinScoreMinBtn), kCaptionBtnMin, true, "Minimize", nullptr);
  g.score->SetIconImage(Img(kSkinScoreIcon));
  g.score->GetLayout()->SetDrawFlag(false);  // shown inactive
  g.score->Create(nullptr, WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, CS_DBLCLKS, nullptr);
  const int sb = Img(kSkinScoreBottomBorder)->GetHeight(), hh = Img(kSkinHScrollBk)->GetHeight();
  const int sl = Img(kSkinScoreLeftBorder)->GetWidth(), st = Img(kSkinScoreTopBorder)->GetHeight();
  g.measure =
      MakeRange<CSkinSlider>(g.score.get(), true, kSkinHScrollLBtn, kSkinHScrollRBtn, kSkinHScrollHumb,
                             kSkinHScrollBk, sl + 2, 250 - sb - hh - 2, 420 - 2 * sl - 4 - vw, 25);
  g.scoreBar =
      MakeRange<CSkinScrollBar>(g.score.get(), true, kSkinVScrollTBtn, kSkinVScrollBBtn, kSkinVScrollHumb,
                                kSkinVScrollBk, 420 - sl - 2 - vw, st + 2, 250 - st - sb - hh - 6, 60);
  g.score
      ->AddButton(kSkinScoreAlwaysShowBtn, 300, 420 - Img(kSkinScoreAlwaysShowBtn)->GetWidth() / 4,
                  250 - Img(kSkinScoreAlwaysShowBtn)->GetHeight(), "Always visible", true)
      ->SetCheck(true);

  g.dialog = std::make_unique<GalleryDialog>();
  if (g.dialog->CDialog::Create(300)) {
    ::SetWindowPos(g.dialog->GetDialogHwnd(), nullptr, 300, 285, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    g.dialog->CSkinWnd::OnSize(0, 0);
    g.dialog->CDialog::ShowWindow(SW_SHOWNOACTIVATE);
  }

  MSG msg;
  if (!shot.empty()) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 700) {
      while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
      ::Sleep(10);
    }
    RECT area = {0, 0, 740, 425};
    const bool ok = SaveScreenAreaPng(area, shot);
    printf("skin_gallery: %s %s\n", ok ? "saved" : "could not save", shot.c_str());
    g = Gallery();
    ReleaseSkinManager();
    return ok ? 0 : 1;
  }
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  g = Gallery();
  ReleaseSkinManager();
  return 0;
}
