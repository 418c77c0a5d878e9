#include "app/ui/ScreenView.h"

CScreenView::CScreenView(CMilvaneDoc& doc, CMainFrame& frame, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_frame(frame) {}
