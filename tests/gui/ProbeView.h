#pragma once

#include "Vexmira/BlowupView.h"

#include <string>
#include <vector>

namespace VexmiraGuiTest {

// A BlowupView that records its hooks and counts its draws, then does what
// BlowupView does.
class ProbeView : public BlowupView {
public:
    struct Call {
        std::string hook;
        Point location;
        Point oldLocation;
        GLuint modifiers;
    };
    std::vector<Call> calls;
    int draws = 0;

    void drawRect() override {
        ++draws;
        BlowupView::drawRect();
    }
    EasyView& handleClickAt(Point point, GLuint modifiers) override {
        calls.push_back({"click", point, {}, modifiers});
        return BlowupView::handleClickAt(point, modifiers);
    }
    EasyView& handleDragTo(Point location, Point oldLocation, GLuint modifiers) override {
        calls.push_back({"drag", location, oldLocation, modifiers});
        return BlowupView::handleDragTo(location, oldLocation, modifiers);
    }
    EasyView& handleDragEndAt(Point point, GLuint modifiers) override {
        calls.push_back({"end", point, {}, modifiers});
        return BlowupView::handleDragEndAt(point, modifiers);
    }
};

} // namespace VexmiraGuiTest
