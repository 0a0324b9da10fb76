#include "Application.h"
#include "Unit1.h"

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    TForm1 form;
    Form1 = &form;
    form.show();
    return application.exec();
}
