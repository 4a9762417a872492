#pragma once
// Actions: a command with its caption, state and image, shared by the
// controls linked to it. A change of the action reaches every linked control
// (its ActionChange); an action list gives its actions their images.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/classes.h"

class TBasicActionLink;
class TCustomActionList;
class TCustomImageList;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;
    TNotifyEvent OnExecute;
    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    // Tells every linked control.
    void Change();

private:
    friend class TBasicActionLink;
    std::vector<TBasicActionLink*> links_;
};

class TCustomAction : public TBasicAction {
public:
    explicit TCustomAction(TComponent* AOwner);
    ~TCustomAction() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    // Index into the action list's images; -1 for none.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    TCustomActionList* ActionList() const { return actionList_; }
    void SetActionList(TCustomActionList* list);

private:
    friend class TCustomActionList;
    std::string caption_, hint_;
    bool checked_ = false, enabled_ = true, visible_ = true;
    int imageIndex_ = -1;
    TCustomActionList* actionList_ = nullptr;
};

class TAction : public TCustomAction {
public:
    using TCustomAction::TCustomAction;
};

class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* AOwner);
    ~TCustomActionList() override;
    // The images of its actions (null once the list is freed); a new list
    // reaches every action's controls.
    TCustomImageList* Images() const;
    void SetImages(TCustomImageList* images);
    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TCustomAction* Actions(int index) const { return actions_.at(static_cast<size_t>(index)); }

private:
    friend class TCustomAction;
    std::vector<TCustomAction*> actions_;
    TCustomImageList* images_ = nullptr;
    std::weak_ptr<TComponent*> imagesAlive_;
};

class TActionList : public TCustomActionList {
public:
    using TCustomActionList::TCustomActionList;
};

// A control's tie to its action: OnChange runs on every change of the action
// (and once when the action is set); the tie ends with either side.
class TBasicActionLink {
public:
    explicit TBasicActionLink(std::function<void(TBasicAction* Action, bool CheckDefaults)> onChange);
    ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;
    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* action);
    bool Execute() { return action_ && action_->Execute(); }

private:
    friend class TBasicAction;
    TBasicAction* action_ = nullptr;
    std::function<void(TBasicAction*, bool)> onChange_;
};
