#include "pictures/ui/PictureWnd.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include "common/Folders.h"

CPictureWnd::CPictureWnd(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(92, 99);
    setFocusPolicy(Qt::NoFocus);
}

void CPictureWnd::SetPicture(const std::string& value) {
    m_value = value;
    m_loaded = false;
    m_dib.Clear();
    m_image = QImage();
    setAccessibleDescription(QString::fromStdString(value));
    update();
}

bool CPictureWnd::EnsureLoaded() {
    if (!m_loaded) Load();
    return HasPicture();
}

void CPictureWnd::Load() {
    m_loaded = true;
    m_dib.Clear();
    m_image = QImage();
    if (m_value.empty()) return;
    const std::string path = PicturePath(m_value, m_folder);
    if (!FileExists(path)) return;
    if (m_dib.Read(path)) {
        m_image.loadFromData(m_dib.Data().data(), static_cast<int>(m_dib.Data().size()), "BMP");
    } else {
        // Not a bitmap: try it as JPEG whatever its name says.
        QImageReader reader(QString::fromStdString(path), "jpg");
        reader.setDecideFormatFromContent(false);
        m_image = reader.read();
    }
    m_dib.zoom = m_image.isNull() ? 0.0 : PictureZoom(m_image.width(), m_image.height(), width(), height());
}

void CPictureWnd::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (!m_image.isNull()) m_dib.zoom = PictureZoom(m_image.width(), m_image.height(), width(), height());
}

void CPictureWnd::paintEvent(QPaintEvent*) {
    EnsureLoaded();
    if (m_image.isNull() || m_dib.zoom <= 0) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int w = static_cast<int>(m_image.width() * m_dib.zoom / 100.0);
    const int h = static_cast<int>(m_image.height() * m_dib.zoom / 100.0);
    p.drawImage(QRect(0, 0, w, h), m_image);
}
