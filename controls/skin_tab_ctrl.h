// CSkinTabCtrl: a tab strip of the same make as CInfoTabCtrl (font, gap at the right end of
// each tab, base painting), for windows that want it under a name of their own.
#pragma once

#include "controls/info_tab_ctrl.h"

class CSkinTabCtrl : public CInfoTabCtrl {
 public:
  explicit CSkinTabCtrl(int fontHeight) : CInfoTabCtrl(fontHeight) {}
  ~CSkinTabCtrl() override = default;
};
