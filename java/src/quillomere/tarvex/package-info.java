/**
 * Java access to the kit's automation objects: one class per file kind ({@link
 * quillomere.tarvex.TeskCELFile}, {@link quillomere.tarvex.TeskCDFFile} ...), the items they hand
 * out (probe sets, probes, sequences) and one class per enumeration. File objects are data
 * holders: set their input fields, call a read method, then read the fields; every failure is
 * thrown as {@link java.lang.Exception} with a message that names the step. Each file object
 * drives an automation object of its own; close it (or let it be collected) to release that.
 */
package quillomere.tarvex;
