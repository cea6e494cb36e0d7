#pragma once

#include "platform/ScriptingApplication.h"
#include "platform/ScriptingElementArray.h"

#include <QList>

#include <memory>

// A photo or video of the Photos application.
using PhotosMediaItem = ScriptingObject;
// An album (or other container) of the Photos application.
using PhotosAlbum = ScriptingObject;

// The Photos application's scripting dictionary, class name "PhotosApplication".
class PhotosApplication : public ScriptingApplication
{
public:
    virtual std::shared_ptr<ScriptingElementArray<PhotosMediaItem>> mediaItems() = 0;
    virtual std::shared_ptr<ScriptingElementArray<PhotosAlbum>> containers() = 0;
    // Adds the items to the album; the answer is not reported.
    virtual void add(const QList<std::shared_ptr<PhotosMediaItem>> &items,
                     const std::shared_ptr<PhotosAlbum> &album) = 0;
};
