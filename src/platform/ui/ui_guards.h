#pragma once
// Scoped wait cursor and list freeze: they end however a handler is left.

#include "platform/ui/list_view.h"
#include "platform/ui/toolkit.h"

class CWaitCursor {
  public:
    CWaitCursor() { platform::ui::BeginWaitCursor(); }
    ~CWaitCursor() { platform::ui::EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// Turns a list's redraw off so that a front end redraws once, after a whole refill. Use it
// in the handler, around the fill and the sort together.
class CListFreeze {
  public:
    explicit CListFreeze(platform::ui::ListView& list) : m_list(list) { m_list.SetRedraw(false); }
    ~CListFreeze() { m_list.SetRedraw(true); }
    CListFreeze(const CListFreeze&) = delete;
    CListFreeze& operator=(const CListFreeze&) = delete;

  private:
    platform::ui::ListView& m_list;
};
