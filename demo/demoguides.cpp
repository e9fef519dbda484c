#include "demo/demoguides.h"

#include "guides/columnsettings.h"
#include "guides/columnstore.h"
#include "guides/guideclauses.h"
#include "guides/guidestore.h"

namespace corvanty::demo {

namespace {

// One column's settings as an administrator applies them in the columns
// editor; roles: S shown in the result line, F searched, K the key.
ColumnSlot Column(const char* table, const char* column, const char* type, const char* roles,
                  const char* separator, int index) {
  const std::string role = roles;
  ColumnSlot slot;
  slot.TableName = table;
  slot.ColumnName = column;
  slot.DataType = type;
  slot.ShowInList = role.find('S') != std::string::npos;
  slot.IsSearchColumn = role.find('F') != std::string::npos;
  slot.IsKeyColumn = role.find('K') != std::string::npos;
  slot.Separator = separator;
  slot.ColumnIndex = index;
  SetConversionFromDataType(slot);
  return slot;
}

struct SampleGuide {
  const char *name, *description, *from, *where;
  std::vector<ColumnSlot> columns;  // slot 0 unused, as the editor keeps them
};

std::vector<SampleGuide> SampleGuides() {
  return {
      {"Customers by name and city",
       "Finds customers by company, contact or city: company, city and country",
       "customers",
       "",
       {{},
        Column("customers", "customer_id", "Integer", "K", "", 1),
        Column("customers", "company_name", "Varchar", "SF", ", ", 2),
        Column("customers", "contact_name", "Varchar", "F", "", 3),
        Column("customers", "city", "Varchar", "SF", ", ", 4),
        Column("customers", "country", "Varchar", "S", "", 5)}},
      {"Orders by ship city and customer",
       "Finds orders by ship city or customer: date, ship city and customer",
       "orders, customers",
       "orders.customer_id = customers.customer_id",
       {{},
        Column("orders", "order_id", "Integer", "K", "", 1),
        Column("orders", "order_date", "Varchar", "S", " ", 2),
        Column("orders", "ship_city", "Varchar", "SF", " / ", 3),
        Column("customers", "company_name", "Varchar", "SF", "", 4)}},
  };
}

}  // namespace

std::vector<std::string> DefineSampleGuides() {
  std::vector<std::string> names;
  for (const SampleGuide& guide : SampleGuides()) {
    int32_t id = InsertGuide(guide.name, guide.description);
    SaveGuideClauses(id, false, guide.from, guide.where);
    SaveColumnSettings(id, guide.columns);
    names.push_back(guide.name);
  }
  return names;
}

}  // namespace corvanty::demo
