// A small white window that shows one picture scaled to fit, keeping its
// aspect. Bitmaps are read whole by CPalDIB; any other file is tried as JPEG.
#pragma once

#include <QImage>
#include <QWidget>

#include <string>

#include "pictures/Pictures.h"

class CPictureWnd : public QWidget {
    Q_OBJECT
public:
    explicit CPictureWnd(QWidget* parent = nullptr);

    // The folder that holds stored picture names.
    void SetFolder(const std::string& folder) { m_folder = folder; }
    // Remembers the picture (stored name or full path, "" none); it is loaded
    // on the next paint.
    void SetPicture(const std::string& value);
    const std::string& Picture() const { return m_value; }

    // Loads now when not yet loaded; true when a picture is shown.
    bool EnsureLoaded();
    bool HasPicture() const { return !m_image.isNull(); }
    const QImage& Image() const { return m_image; }
    const CPalDIB& Bitmap() const { return m_dib; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Load();

    std::string m_folder;
    std::string m_value;
    bool m_loaded = false;
    CPalDIB m_dib;
    QImage m_image;
};
