package quillomere.tarvex;

/**
 * Where the data of an object that a file object handed out lies: the file object that produced
 * it and the indices that lead from there to the object. The native methods read and write these.
 */
abstract class ChildObject {
    /** The file object that produced this object, or null when none did. */
    Object m_owner;
    /** The object's index in its file object, or -1. */
    int m_nIndex = -1;
    /** The index of its group, or -1. */
    int m_nGroup = -1;
    /** The index of its list, or -1. */
    int m_nList = -1;
    /** The reference index a custom-sequence list was fetched by, or -1. */
    int m_nReference = -1;
}
