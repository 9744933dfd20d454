#include "TolvaneKit/View/RVDisplayList.h"

void RVDisplayList::draw(const std::function<void()>& record) {
    if (list_ == 0) {
        list_ = glGenLists(1);
        if (list_ == 0) {
            record();
            return;
        }
        glNewList(list_, GL_COMPILE);
        record();
        glEndList();
    }
    glCallList(list_);
}

void RVDisplayList::clear() {
    if (list_ != 0)
        glDeleteLists(list_, 1);
    list_ = 0;
}
