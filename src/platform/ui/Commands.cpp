#include "platform/ui/Commands.h"

#include <cstdio>

#include "platform/ui/ResourceImages.h"
#include "resources/StringTable.h"
#include "resources/UiResources.h"

namespace fw {

Image ImageFromPicture(const res::Picture& picture) {
    static_assert(sizeof(res::PaletteEntry) == sizeof(Image::PaletteEntry));
    std::vector<Image::PaletteEntry> palette;
    for (int i = 0; i < picture.paletteCount; ++i)
        palette.push_back({picture.palette[i].key, picture.palette[i].argb});
    return Image::FromArt(picture.rows, picture.height, palette.data(), static_cast<int>(palette.size()));
}

Image LoadIconImage(UINT id) {
    const res::Picture* p = res::FindIcon(id);
    return p ? ImageFromPicture(*p) : Image();
}

// ---------------------------------------------------------------------------

void CommandMap::OnCommandRange(UINT first, UINT last, std::function<void(UINT)> handler) {
    for (auto& r : ranges_) {
        if (r.first == first && r.last == last) {
            r.handler = std::move(handler);
            return;
        }
    }
    ranges_.push_back({first, last, std::move(handler), nullptr});
}

void CommandMap::OnUpdateRange(UINT first, UINT last, std::function<void(CmdUI&)> rule) {
    for (auto& r : ranges_) {
        if (r.first == first && r.last == last) {
            r.rule = std::move(rule);
            return;
        }
    }
    ranges_.push_back({first, last, nullptr, std::move(rule)});
}

bool CommandMap::HasHandler(UINT id) const {
    if (handlers_.count(id)) return true;
    for (const auto& r : ranges_)
        if (id >= r.first && id <= r.last && r.handler) return true;
    return false;
}

bool CommandMap::Update(CmdUI& ui) const {
    auto rule = rules_.find(ui.m_nID);
    if (rule != rules_.end()) {
        ui.enabled = true;
        rule->second(ui);
        return true;
    }
    for (const auto& r : ranges_) {
        if (ui.m_nID >= r.first && ui.m_nID <= r.last && r.rule) {
            ui.enabled = true;
            r.rule(ui);
            return true;
        }
    }
    if (HasHandler(ui.m_nID)) {
        ui.enabled = true;
        return true;
    }
    return false;
}

bool CommandMap::Execute(UINT id) const {
    auto h = handlers_.find(id);
    if (h != handlers_.end()) {
        auto fn = h->second;
        fn();
        return true;
    }
    for (const auto& r : ranges_) {
        if (id >= r.first && id <= r.last && r.handler) {
            auto fn = r.handler;
            fn(id);
            return true;
        }
    }
    return false;
}

CmdUI CommandTarget::QueryCommand(UINT id) const {
    CmdUI ui(id);
    for (const CommandTarget* t = this; t; t = t->next_) {
        if (t->commands_.Update(ui)) {
            // A rule without a handler anywhere still leaves the command
            // unavailable: there is nothing to run.
            bool handled = false;
            for (const CommandTarget* h = this; h && !handled; h = h->next_) handled = h->commands_.HasHandler(id);
            if (!handled) ui.enabled = false;
            return ui;
        }
    }
    ui.enabled = false;
    return ui;
}

bool CommandTarget::ExecuteCommand(UINT id) {
    if (!QueryCommand(id).enabled) return false;
    for (CommandTarget* t = this; t; t = t->next_)
        if (t->commands_.Execute(id)) return true;
    return false;
}

// ---------------------------------------------------------------------------

namespace {

size_t BuildItems(const res::MenuEntry* e, size_t count, size_t i, std::vector<MenuItem>& out) {
    while (i < count) {
        const res::MenuEntry& entry = e[i++];
        switch (entry.kind) {
        case res::MenuEntry::EndPopup:
            return i;
        case res::MenuEntry::Separator: {
            MenuItem m;
            m.kind = MenuItem::Separator;
            out.push_back(m);
            break;
        }
        case res::MenuEntry::Item: {
            MenuItem m;
            m.id = entry.id;
            m.text = entry.text ? entry.text : "";
            out.push_back(m);
            break;
        }
        case res::MenuEntry::Popup: {
            MenuItem m;
            m.kind = MenuItem::Popup;
            m.text = entry.text ? entry.text : "";
            i = BuildItems(e, count, i, m.items);
            out.push_back(std::move(m));
            break;
        }
        }
    }
    return i;
}

template <class ItemT, class Fn>
void Walk(ItemT& items, const Fn& fn) {
    for (auto& m : items) {
        if (m.kind == MenuItem::Popup) Walk(m.items, fn);
        else if (m.kind == MenuItem::Command) fn(m);
    }
}

}  // namespace

bool Menu::LoadMenu(UINT resourceId) {
    size_t count = 0;
    const res::MenuEntry* e = res::FindMenu(resourceId, count);
    if (!e) return false;
    items.clear();
    BuildItems(e, count, 0, items);
    return true;
}

const MenuItem* Menu::GetSubMenu(int pos) const {
    if (pos < 0 || pos >= static_cast<int>(items.size()) || items[pos].kind != MenuItem::Popup) return nullptr;
    return &items[pos];
}

MenuItem* Menu::FindCommand(UINT id) {
    MenuItem* found = nullptr;
    Walk(items, [&](MenuItem& m) {
        if (!found && m.id == id) found = &m;
    });
    return found;
}

const MenuItem* Menu::FindCommand(UINT id) const { return const_cast<Menu*>(this)->FindCommand(id); }

bool Menu::ModifyCommand(UINT oldId, UINT newId, const std::string& text) {
    MenuItem* m = FindCommand(oldId);
    if (!m) return false;
    m->id = newId;
    m->text = text;
    return true;
}

void Menu::ForEachCommand(const std::function<void(MenuItem&)>& fn) { Walk(items, fn); }

void Menu::ForEachCommand(const std::function<void(const MenuItem&)>& fn) const { Walk(items, fn); }

bool LoadAccelerators(UINT resourceId, std::vector<Accelerator>& out) {
    size_t count = 0;
    const res::AccelEntry* e = res::FindAccelerators(resourceId, count);
    if (!e) return false;
    out.clear();
    for (size_t i = 0; i < count; ++i) out.push_back({e[i].key, e[i].modifiers, e[i].command});
    return true;
}

std::string AcceleratorText(const Accelerator& a) {
    std::string s;
    if (a.modifiers & FVIRTKEY_CTRL) s += "Ctrl+";
    if (a.modifiers & FVIRTKEY_SHIFT) s += "Shift+";
    if (a.modifiers & FVIRTKEY_ALT) s += "Alt+";
    if (a.key >= VK_F1 && a.key < VK_F1 + 24) s += "F" + std::to_string(a.key - VK_F1 + 1);
    else s += static_cast<char>(a.key);
    return s;
}

// ---------------------------------------------------------------------------

bool ToolBar::LoadToolBar(UINT resourceId) {
    const res::Toolbar* tb = res::FindToolbar(resourceId);
    if (!tb) return false;
    images_.clear();
    for (size_t i = 0; i < tb->imageCount; ++i) images_.push_back(ImageFromPicture(tb->images[i]));
    imageSize_ = tb->imageCount ? Size{tb->images[0].width, tb->images[0].height} : Size{};
    SetButtons(std::vector<UINT>(tb->ids, tb->ids + tb->idCount));
    return true;
}

void ToolBar::SetButtons(const std::vector<UINT>& ids) {
    buttons_.clear();
    int image = 0;
    for (UINT id : ids) {
        ToolButton b;
        b.id = id;
        if (id == ID_SEPARATOR) {
            b.style = TBBS_SEPARATOR;
        } else {
            b.image = image++;
        }
        buttons_.push_back(b);
    }
}

void ToolBar::SetButtonInfo(int index, UINT id, UINT style, int image) {
    if (index < 0 || index >= static_cast<int>(buttons_.size())) return;
    ToolButton& b = buttons_[index];
    b.id = id;
    b.style = style;
    b.image = image;
}

int ToolBar::CommandToIndex(UINT id) const {
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i].id == id && !(buttons_[i].style & TBBS_SEPARATOR)) return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------------------

void StatusBar::SetIndicators(const std::vector<UINT>& ids) {
    panes_.clear();
    for (UINT id : ids) {
        StatusPane p;
        p.indicator = id;
        if (id != ID_SEPARATOR) {
            const char* s = res::FindString(id);
            p.text = s ? s : "";
            p.widthText = p.text;
        }
        panes_.push_back(p);
    }
}

int StatusBar::CommandToIndex(UINT indicator) const {
    for (size_t i = 0; i < panes_.size(); ++i)
        if (panes_[i].indicator == indicator) return static_cast<int>(i);
    return -1;
}

void StatusBar::SetPaneText(int index, const std::string& text) {
    if (index < 0 || index >= static_cast<int>(panes_.size())) return;
    panes_[index].text = text;
}

std::string StatusBar::DisplayedText(int index) const {
    if (index < 0 || index >= static_cast<int>(panes_.size())) return {};
    return panes_[index].enabled ? panes_[index].text : std::string();
}

}  // namespace fw
