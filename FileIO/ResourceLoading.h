#pragma once
// The loading convention of every resource class.
//
// A class T derives from gCResourceObject and offers
//     error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
//     error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
// which call LocateFromRes and then read the payload at the file's position.
// A failed GetFromRes returns its error; what it leaves in the object is
// stated by each class. The factories below never hand out an object whose
// load failed.
// Its static CreateFromRes forms return CreateFromResource<T>(...), and a
// class that shares its objects through an application pool returns
// CreateSharedFromResource<T>(pool, ...).

#include <new>
#include <utility>

#include "FileIO/CResourcePool.h"
#include "FileIO/gCResourceObject.h"
#include "foundation/AppServices.h"
#include "foundation/gCString.h"

class gCFile;
class gCResourceIndex;

// A new T made from the given constructor arguments and loaded by id or
// name; null when it cannot be made or does not load (it is then deleted).
template <typename T, typename Key, typename... Args>
T* CreateFromResource(const Key& key, gCFile* file, gCResourceIndex* index, Args&&... args) {
    T* object = new (std::nothrow) T(std::forward<Args>(args)...);
    if (!object) {
        return nullptr;
    }
    if (object->GetFromRes(key, file, index) != eNoError) {
        delete object;
        return nullptr;
    }
    return object;
}

inline gCResourceObject* FindPooledResource(CAppServices& app, int32_t pool, int32_t id) {
    return app.FindResourceByID(pool, id);
}
inline gCResourceObject* FindPooledResource(CAppServices& app, int32_t pool, const gCString& name) {
    return app.FindResourceByName(pool, name);
}

// The application pool's object of class T with that id or name, or else a
// new one loaded and added to that pool, which owns it. Null when it does
// not load or cannot be pooled. An object of another class under the same
// id or name does not count as found.
template <typename T, typename Key, typename... Args>
T* CreateSharedFromResource(int32_t pool, const Key& key, gCFile* file, gCResourceIndex* index,
                            Args&&... args) {
    CAppServices* app = CAppServices::Get();
    if (!app) {
        return nullptr;
    }
    if (T* found = dynamic_cast<T*>(FindPooledResource(*app, pool, key))) {
        return found;
    }
    CResourcePool* target = app->GetResourcePool(pool);
    if (!target) {
        return nullptr;
    }
    T* object = CreateFromResource<T>(key, file, index, std::forward<Args>(args)...);
    if (object && target->Add(object) != eNoError) {
        delete object;
        return nullptr;
    }
    return object;
}
