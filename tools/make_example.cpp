// Draws the bundled example drawing, an order-handling process on two pages,
// from the bundled stencil:  make_example OUTPUT.vsdx
//
// The drawing is made with the engine exactly as a user's drawing would be, so
// the demo and the end-to-end tests run on an ordinary file.

#include <filesystem>
#include <iostream>
#include <unistd.h>

#include "model/TableDefinition.h"
#include "model/Utils.h"
#include "platform/visio/Visio.h"

namespace fs = std::filesystem;

namespace {

constexpr double mm = 1 / 25.4;

struct ObjectSpec {
    const char* master;     // "Object" or "Document"
    const char* name;
    const char* normative;
    const char* description;
    double x, y;            // in millimetres
};

struct ProcedureSpec {
    const char* name;
    const char* performer;
    const char* regulation;
    const char* description;
    double x, y;
};

class ExampleBuilder {
public:
    explicit ExampleBuilder(visio::Application& app)
        : app_(app), stencil_(app.GetDocuments().Item("kalemar.vss")) {}

    visio::Shape object(visio::Page page, const ObjectSpec& o) {
        visio::Shape s = drop(page, o.master, o.x, o.y);
        WriteProperty(s, 1, o.name);
        WriteProperty(s, 2, o.normative);
        WriteProperty(s, 5, o.description);
        if (std::string(o.master) == "Object")
            WriteProperty(s, 6, "0");
        return s;
    }

    visio::Shape procedure(visio::Page page, const ProcedureSpec& p) {
        visio::Shape s = drop(page, "Process", p.x, p.y);
        WriteProperty(s, 1, p.performer);
        WriteProperty(s, 2, p.name);
        WriteProperty(s, 3, p.regulation);
        WriteProperty(s, 5, p.description);
        return s;
    }

    // A detail frame around `inner`, 20 mm wider and taller than it.
    visio::Shape frameAround(visio::Page page, visio::Shape inner) {
        double x = inner.Cells("PinX").ResultIU(), y = inner.Cells("PinY").ResultIU();
        double w = inner.Cells("Width").ResultIU(), h = inner.Cells("Height").ResultIU();
        visio::Shape frame = page.Drop(stencil_.GetMasters().ItemU("Frame"), x, y);
        frame.Cells("Width").SetFormulaU(std::to_string(static_cast<int>((w / mm) + 20)) + " mm");
        frame.Cells("Height").SetFormulaU(std::to_string(static_cast<int>((h / mm) + 20)) + " mm");
        frame.SendToBack();
        return frame;
    }

    void flow(visio::Page page, visio::Shape from, visio::Shape to) {
        visio::Shape c = page.Drop(app_.ConnectorToolDataObject(), 1, 1);
        c.SendToBack();
        c.Cells("BeginX").GlueTo(from.Cells("PinX"));
        c.Cells("EndX").GlueTo(to.Cells("PinX"));
    }

private:
    visio::Shape drop(visio::Page page, const char* master, double x, double y) {
        return page.Drop(stencil_.GetMasters().ItemU(master), x * mm, y * mm);
    }
    visio::Application& app_;
    visio::Document stencil_;
};

TFieldType field(const char* name, const char* type, std::uint8_t key, const char* description = "",
                 const char* refTable = "", const char* refField = "") {
    TFieldType f;
    f.Name = name;
    f.TypeName = type;
    f.Description = description;
    f.KeyKind = key;
    f.RefTable = refTable;
    f.RefField = refField;
    return f;
}

void drawOrderIntake(ExampleBuilder& b, visio::Page page) {
    page.SetName("Приём заказа");
    visio::Shape customer = b.object(page, {"Object", "Клиент", "Договор поставки", "Покупатель, оформивший заказ", 35, 250});
    WriteTableDefinition(customer, "Customers", "Клиенты",
                         {field("Id", "Integer", 1, "Код клиента"), field("Name", "VarChar", 0, "Наименование"),
                          field("Phone", "VarChar", 0, "Телефон")});
    visio::Shape order = b.object(page, {"Object", "Заказ", "Положение о продажах", "Заказ клиента\nс перечнем товаров", 35, 190});
    WriteTableDefinition(order, "Orders", "Заказы",
                         {field("Id", "Integer", 1, "Номер заказа"),
                          field("CustomerId", "Integer", 2, "Клиент", "Customers", "Id"),
                          field("OrderDate", "Date", 0, "Дата заказа"), field("Note", "VarChar", 0, "Примечание")});
    visio::Shape product = b.object(page, {"Object", "Товар", "Прайс-лист", "Товар из каталога", 175, 250});
    WriteTableDefinition(product, "Products", "Товары",
                         {field("Id", "Integer", 1), field("Title", "VarChar", 0, "Наименование товара"),
                          field("Price", "Float", 0, "Цена, руб.")});
    visio::Shape item = b.object(page, {"Object", "Позиция заказа", "Положение о продажах", "Строка заказа", 175, 190});
    WriteTableDefinition(item, "OrderItems", "Позиции заказов",
                         {field("Id", "Integer", 1), field("OrderId", "Integer", 2, "Заказ", "Orders", "Id"),
                          field("ProductId", "Integer", 2, "Товар", "Products", "Id"),
                          field("Quantity", "Integer", 0, "Количество")});
    b.object(page, {"Document", "Счёт на оплату", "Учётная политика", "Счёт, выставленный клиенту", 175, 60});

    visio::Shape accept = b.procedure(page, {"Принять заказ", "Менеджер по продажам", "Регламент продаж, п. 3.1",
                                             "Принять заказ по телефону или почте\nи внести его в журнал", 105, 220});
    visio::Shape check = b.procedure(page, {"Проверить наличие", "Кладовщик", "Регламент склада, п. 2.4",
                                            "Сверить позиции заказа с остатками", 105, 140});
    visio::Shape invoice = b.procedure(page, {"Выставить счёт", "Бухгалтер", "Учётная политика, п. 5",
                                              "Подготовить счёт на оплату", 105, 60});
    b.frameAround(page, check);
    b.flow(page, accept, check);
    b.flow(page, check, invoice);
}

void drawShipping(ExampleBuilder& b, visio::Page page) {
    page.SetName("Отгрузка");
    // A copy of the order object of the first page: it carries that object's number.
    visio::Shape copy = b.object(page, {"Object", "Заказ", "Положение о продажах", "Копия объекта «Заказ»", 35, 220});
    WriteProperty(copy, 6, "1");
    visio::Shape waybill = b.object(page, {"Object", "Накладная", "Правила отгрузки", "Товарная накладная", 35, 120});
    WriteTableDefinition(waybill, "Waybills", "Накладные",
                         {field("Id", "Integer", 1), field("OrderId", "Integer", 2, "Заказ", "Orders", "Id"),
                          field("ShipDate", "DateTime", 0, "Дата отгрузки")});
    visio::Shape pick = b.procedure(page, {"Собрать заказ", "Кладовщик", "Регламент склада, п. 3.2",
                                           "Собрать товары по позициям заказа", 120, 220});
    visio::Shape ship = b.procedure(page, {"Отгрузить", "Водитель-экспедитор", "Правила отгрузки, п. 1",
                                           "Доставить заказ клиенту\nи получить подпись", 120, 120});
    b.flow(page, pick, ship);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::cerr << "usage: make_example OUTPUT.vsdx\n";
        return argc == 2 ? 0 : 2;
    }
    try {
        fs::path output = fs::absolute(argv[1]);
        fs::path scratch = output.parent_path() / (".make_example." + std::to_string(::getpid()));
        fs::create_directories(scratch);
        {
            visio::SessionOptions options;
            options.stencilFolders = visio::Application::DefaultStencilFolders();
            options.newDrawingFolder = scratch.string();
            visio::Application app(options);
            ExampleBuilder builder(app);
            visio::Pages pages = app.ActiveDocument().GetPages();
            drawOrderIntake(builder, pages.Item(1));
            drawShipping(builder, pages.Add());
            // Adding the second page turned the window to it; the example opens
            // on its first page.
            app.ActiveWindow().SetPage(pages.Item(1));
            std::vector<std::string> written = app.SaveChangedDocuments();
            if (written.size() != 1)
                throw std::runtime_error("expected one drawing to be written");
            fs::rename(written[0], output);
        }
        fs::remove_all(scratch);
        std::cout << output.string() << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "make_example: " << e.what() << "\n";
        return 1;
    }
}
