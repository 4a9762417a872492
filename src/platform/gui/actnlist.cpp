#include "platform/gui/actnlist.h"

#include <algorithm>

#include "platform/gui/imglist.h"

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    for (TBasicActionLink* link : links_) link->action_ = nullptr;
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

void TBasicAction::Change() {
    // A control may drop its link while it hears the change: walk a copy.
    const std::vector<TBasicActionLink*> links = links_;
    for (TBasicActionLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->onChange_)
            link->onChange_(this, false);
}

TCustomAction::TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

void TCustomAction::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    Change();
}

void TCustomAction::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    Change();
}

void TCustomAction::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Change();
}

void TCustomAction::SetHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = value;
    Change();
}

void TCustomAction::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    Change();
}

void TCustomAction::SetImageIndex(int value) {
    if (value == imageIndex_) return;
    imageIndex_ = value;
    Change();
}

void TCustomAction::SetActionList(TCustomActionList* list) {
    if (list == actionList_) return;
    if (actionList_) {
        auto& v = actionList_->actions_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    actionList_ = list;
    if (list) list->actions_.push_back(this);
    Change();
}

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList() {
    for (TCustomAction* a : actions_) a->actionList_ = nullptr;
}

TCustomImageList* TCustomActionList::Images() const { return imagesAlive_.expired() ? nullptr : images_; }

void TCustomActionList::SetImages(TCustomImageList* images) {
    if (images == Images()) return;
    images_ = images;
    imagesAlive_ = images ? images->WeakRef() : std::weak_ptr<TComponent*>();
    const std::vector<TCustomAction*> actions = actions_;
    for (TCustomAction* a : actions) a->Change();
}

TBasicActionLink::TBasicActionLink(std::function<void(TBasicAction*, bool)> onChange)
    : onChange_(std::move(onChange)) {}

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* action) {
    if (action == action_) return;
    if (action_) {
        auto& v = action_->links_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    action_ = action;
    if (action) {
        action->links_.push_back(this);
        if (onChange_) onChange_(action, true);
    }
}
