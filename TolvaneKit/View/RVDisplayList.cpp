#include "TolvaneKit/View/RVDisplayList.h"

void RVDisplayList::draw(const std::function<void()>& record) {
    if (!recorded_) {
        // The old recording goes before the new one is made, so that no
        // more than one is ever held.
        if (list_ != 0)
            glDeleteLists(list_, 1);
        list_ = glGenLists(1);
        if (list_ == 0) {
            record();
            return;
        }
        glNewList(list_, GL_COMPILE);
        record();
        glEndList();
        recorded_ = true;
    }
    glCallList(list_);
}
