#pragma once

#include "platform/ScriptingApplication.h"
#include "platform/ScriptingElementArray.h"

#include <memory>

class iPhotoAlbum;

// A photo of the iPhoto application; its properties "imagePath" and "originalPath" can be
// filtered on.
class iPhotoPhoto : public ScriptingObject
{
public:
    virtual QString imagePath() const = 0;
    virtual QString originalPath() const = 0;
    // Takes the photo out of the album; the answer is not reported.
    virtual void removeFrom(const std::shared_ptr<iPhotoAlbum> &album) = 0;
    // Moves the photo into the album; the answer is not reported.
    virtual void moveTo(const std::shared_ptr<iPhotoAlbum> &album) = 0;
};

class iPhotoAlbum : public ScriptingObject
{
public:
    // Null when the album does not answer "photos".
    virtual std::shared_ptr<ScriptingElementArray<iPhotoPhoto>> photos() = 0;
};

// The iPhoto application's scripting dictionary, class name "IPhotoApplication". Each album
// call answers null when the application does not answer it (respondsToSelector NO).
class iPhotoApplication : public ScriptingApplication
{
public:
    virtual std::shared_ptr<iPhotoAlbum> photoLibraryAlbum() = 0;
    virtual std::shared_ptr<iPhotoAlbum> trashAlbum() = 0;
};
