#include "imagelayout.h"
ImageLayout::ImageLayout(QWidget *parent) : QDialog(parent) {}
void ImageLayout::syncUpdate() {}
void ImageLayout::language_changed() {}
void ImageLayout::image_para_update() {}
void ImageLayout::image_init() {}
void ImageLayout::on_Button_back_clicked() {}
