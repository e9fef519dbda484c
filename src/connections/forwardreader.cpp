// SPDX-License-Identifier: Apache-2.0
#include "connections/forwardreaderimpl.h"
#include "connections/odbcdiagnostics.h"
#include "connections/rdo.h"

namespace corvanty::rdo {

ForwardReader::ForwardReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ForwardReader::ForwardReader(ForwardReader&&) noexcept = default;
ForwardReader& ForwardReader::operator=(ForwardReader&&) noexcept = default;
ForwardReader::~ForwardReader() = default;

bool ForwardReader::Fetch() {
  ClearErrors();
  if (impl_->session->TransactionBoundaries() != impl_->opened_at) {
    impl_->on_row = false;
    AddError("The rows of this reader are gone: a transaction began or ended on its connection.");
    ThrowErrors();
  }
  impl_->on_row = impl_->cursor.Fetch(impl_->row);
  return impl_->on_row;
}

std::optional<std::string> ForwardReader::Value(size_t index) const {
  if (!impl_->on_row) throw std::out_of_range("There is no current row.");
  return impl_->row.at(index);
}

const std::vector<std::string>& ForwardReader::ColumnNames() const { return impl_->cursor.Names(); }

}  // namespace corvanty::rdo
