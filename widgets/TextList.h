#pragma once
// A list of items, each a text and an id, with a current index: the entries
// of menus and text widgets, loaded from 'txlt' blocks.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "FileIO/gCResourceObject.h"
#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCString.h"

class gCFile;
class gCResourceIndex;

inline constexpr uint32_t kTextListTypeID = FourCC("txlt");

class CTextList : public gCResourceObject {
public:
    // An empty list; the argument is not used.
    explicit CTextList(int32_t = 0) : gCResourceObject(kTextListTypeID) {}
    ~CTextList() override = default;

    // Appends the block's items to the list: with an index of format 2 each
    // item has a text and an id, with format 1 or no index a text only, and
    // with any other format no items are read. The two header reads are
    // shown ("Error reading exclusivity", "Error reading number of
    // entries"), a count that the block cannot hold too; an item that
    // cannot be read ends the load with its error, keeping the items
    // before it.
    error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    static CTextList* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CTextList* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);

    // Appends an item; 0 (a failed allocation leaves the item out or
    // without its id).
    error Add(const gCString& text, int32_t id);
    // A copy of the item's text, which becomes current; the empty text for
    // an index outside the items, the current index then unchanged.
    gCString Text(int32_t index);
    // The current item's text, or the empty text.
    gCString Text() const;
    // The item's id, or -1 outside the items or the ids.
    int32_t ID(int32_t index) const;
    // Stores the id for an index inside the items and the ids.
    void SetID(int32_t index, int32_t id);
    // 6 for an index outside the items (SetItem: or the ids).
    error SetText(int32_t index, const gCString& text);
    error SetItem(int32_t index, const gCString& text, int32_t id);
    // Removes the text and, when there is one, the id; 6 outside the
    // items. The current index is not adjusted.
    error RemoveItem(int32_t index);
    // RemoveItem from the last item down, stopping at the first error.
    error Clear();
    // 0 <= index <= count (count: no current item), else 6.
    error SetCurrentIndex(int32_t index);

    int32_t Count() const { return m_aTexts.GetSize(); }
    int32_t CurrentIndex() const { return m_nCurrentIndex; }

private:
    template <typename Key> error Load(const Key& key, gCFile* file, gCResourceIndex* index);

    int32_t m_nCurrentIndex = 0;
    gCArray<gCString> m_aTexts;
    gCArray<int32_t> m_aIDs;
};
