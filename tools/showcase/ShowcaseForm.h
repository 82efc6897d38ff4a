#pragma once

#include "Form.h"

#include <QSize>
#include <QTemporaryDir>

class TCategoryChooser;
class TLabeledImage;
class TThumbnails;
class TVeltraneBtn;
class TVeltraneImage;
class TVeltraneText;

// The showcase window's fixed client size and colour (0x00BBGGRR).
inline constexpr QSize ShowcaseSize{860, 560};
inline constexpr int ShowcaseColor = 0xF6F0EA;

// Every custom component on one window, dressed with pictures drawn in code: skin images (as shown,
// semi-transparent, disabled in grey, with a disabled picture), buttons, the text area, two category
// choosers, a thumbnail strip and labelled images.
class TShowcaseF : public TForm
{
    Q_OBJECT

public:
    explicit TShowcaseF(QWidget* Parent = nullptr);

    TVeltraneImage* Images[4] = {};
    TVeltraneBtn* Buttons[3] = {};
    TVeltraneText* Text = nullptr;
    TCategoryChooser* SkinnedTabs = nullptr;
    TCategoryChooser* PlainTabs = nullptr;
    TThumbnails* Gallery = nullptr;
    TLabeledImage* Labeled[3] = {};

protected:
    void FormShow() override;

private:
    void Heading(int Left, int Top, const QString& Caption);
    void Note(int Left, int Top, int Width, const QString& Caption);
    void CreateImages();
    void CreateButtons();
    void CreateText();
    void CreateTabs();
    void CreateGallery();
    void CreateLabeledImages();

    // The generated picture files the tabs and the strip load.
    QTemporaryDir FFiles;
};
