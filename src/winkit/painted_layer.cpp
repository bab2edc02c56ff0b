#include "winkit/painted_layer.h"

TPaintedLayer::TPaintedLayer(Measure measure, Invalidate invalidate)
    : measure_(std::move(measure)), invalidate_(std::move(invalidate)) {}

void TPaintedLayer::Fit(TGraphic& g) {
    if (g.kind != TGraphic::Kind::Label || !measure_)
        return;
    const TSize size = measure_(g.text, g.font);
    g.bounds.width = size.width;
    g.bounds.height = size.height;
}

void TPaintedLayer::Add(TGraphic graphic) {
    Fit(graphic);
    items_.push_back(std::move(graphic));
    if (items_.back().visible && invalidate_)
        invalidate_(items_.back().bounds);
}

TGraphic* TPaintedLayer::Lookup(const std::string& name) {
    for (TGraphic& g : items_)
        if (g.name == name)
            return &g;
    return nullptr;
}

const TGraphic* TPaintedLayer::Find(const std::string& name) const {
    return const_cast<TPaintedLayer*>(this)->Lookup(name);
}

bool TPaintedLayer::BoundsOf(const std::string& name, TBounds& bounds) const {
    const TGraphic* g = Find(name);
    if (g)
        bounds = g->bounds;
    return g != nullptr;
}

std::string TPaintedLayer::TextOf(const std::string& name) const {
    const TGraphic* g = Find(name);
    return g ? g->text : std::string();
}

bool TPaintedLayer::VisibleOf(const std::string& name) const {
    const TGraphic* g = Find(name);
    return g && g->visible;
}

bool TPaintedLayer::SetText(const std::string& name, const std::string& text) {
    TGraphic* g = Lookup(name);
    if (!g || g->text == text)
        return false;
    const TBounds before = g->bounds;
    g->text = text;
    Fit(*g);
    if (g->visible && invalidate_) {
        invalidate_(before);
        if (!(g->bounds == before))
            invalidate_(g->bounds);
    }
    return true;
}

bool TPaintedLayer::SetVisible(const std::string& name, bool visible) {
    TGraphic* g = Lookup(name);
    if (!g || g->visible == visible)
        return false;
    g->visible = visible;
    if (invalidate_)
        invalidate_(g->bounds);
    return true;
}

bool TPaintedLayer::SetBounds(const std::string& name, const TBounds& bounds) {
    TGraphic* g = Lookup(name);
    if (!g || g->bounds == bounds)
        return false;
    const TBounds before = g->bounds;
    g->bounds = bounds;
    if (g->visible && invalidate_) {
        invalidate_(before);
        invalidate_(bounds);
    }
    return true;
}

void TPaintedLayer::ShowOnly(const std::string& name) {
    const TGraphic* shown = Find(name);
    if (!shown)
        return;
    const int group = shown->group;
    for (TGraphic& g : items_)
        if (&g == shown || (group != 0 && g.group == group))
            SetVisible(g.name, &g == shown);
}

void TPaintedLayer::Remeasure() {
    for (TGraphic& g : items_) {
        const TBounds before = g.bounds;
        Fit(g);
        if (!(g.bounds == before) && g.visible && invalidate_) {
            invalidate_(before);
            invalidate_(g.bounds);
        }
    }
}

const TGraphic* TPaintedLayer::HitTest(int x, int y) const {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if (it->visible && it->bounds.Contains(x, y))
            return &*it;
    return nullptr;
}
